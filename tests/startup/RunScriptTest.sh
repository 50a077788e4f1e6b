#!/usr/bin/env bash
# scripts/run.sh started while another run of it goes on: the second says so and ends at once,
# and the first run's devnet and lock stay as they were.
# usage: RunScriptTest.sh SOURCE_DIR
set -u
root=$1
build=$(mktemp -d)
state=$build/devnet-run
mkdir -p "$state"
fail() { echo "FAIL: $*"; [ -n "${stand_in:-}" ] && kill "$stand_in" 2>/dev/null; rm -rf "$build"; exit 1; }

# The first run: it holds the run lock, and devnet's pid file names its devnet (a stand-in
# process here, ended below).
setsid sleep 600 </dev/null >/dev/null 2>&1 &
stand_in=$!
echo "$stand_in" >"$state/devnet.pid"
exec 8>"$build/run.lock"
flock -n 8 || fail "could not take the run lock"

out=$(DISPLAY=${DISPLAY:-:99} PARVEL_BUILD=$build timeout 30 bash "$root/scripts/run.sh" 2>&1 8>&-)
rc=$?
[ "$rc" -eq 0 ] || fail "second run ended with $rc: $out"
case $out in
  *"already runs"*) ;;
  *) fail "second run did not say a client runs: $out" ;;
esac
kill -0 "$stand_in" 2>/dev/null || fail "the first run's devnet was stopped"
[ "$(cat "$state/devnet.pid")" = "$stand_in" ] || fail "devnet's pid file changed"
[ ! -e "$state/ports.txt" ] || fail "a devnet was started"

# The lock is still the first run's: another taker is refused.
flock -n "$build/run.lock" true && fail "the run lock was free while the first run held it"
kill "$stand_in"
exec 8>&-

# Run as root (not through sudo), it refuses before anything is made: the client's files would
# belong to root.
if [ "$(id -u)" -eq 0 ]; then
  rm -rf "$state"
  out_root=$(env -u SUDO_USER DISPLAY=${DISPLAY:-:99} PARVEL_BUILD=$build PARVEL_WORKDIR=$build/work \
    timeout 30 bash "$root/scripts/run.sh" 2>&1)
  rc=$?
  [ "$rc" -eq 1 ] || fail "run as root ended with $rc: $out_root"
  case $out_root in
    *"does not run as root"*) ;;
    *) fail "run as root did not say why it refused: $out_root" ;;
  esac
  [ ! -e "$build/work" ] || fail "run as root made the working folder"
  [ ! -e "$state" ] || fail "run as root started devnet"
fi
rm -rf "$build"
echo "ok: $out"
