#!/usr/bin/env bash
# The idle benchmark, by hand: the client's CPU time from /proc over 30 s at the sign-on dialog
# (the real program against devnet on the default addresses) and with the wait dialog shown (the
# client's wait dialog in a small program of its own, shown as a print shows it), as the share of
# one core; the same picture shown as often by GTK alone (bare_spinner), the floor of the wait
# dialog's figure; then the PostMessage-to-dispatch latency on the GUI thread over 10 000 messages.
# Runs under its own Xvfb; devnet's ports 80 and 81 need root. Arguments: the seconds to sample
# (30); BUILD_DIR names the build folder (./build).
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$(pwd)
build=$(realpath "${BUILD_DIR:-build}")
seconds=${1:-30}

if [ -z "${IDLE_BENCH_DISPLAY:-}" ]; then
  cmake --build "$build" -j3 --target Parvel devnet idle_bench bare_spinner >/dev/null
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" env IDLE_BENCH_DISPLAY=1 BUILD_DIR="$build" \
    bash "$0" "$seconds"
fi

hz=$(getconf CLK_TCK)
# utime + stime of every thread of the process, in clock ticks.
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
# Samples the process for the given seconds and prints its share of one core.
share() {
  local pid=$1 t0 t1 w0 w1
  t0=$(ticks "$pid"); w0=$(date +%s.%N)
  sleep "$seconds"
  t1=$(ticks "$pid"); w1=$(date +%s.%N)
  awk -v t="$((t1 - t0))" -v hz="$hz" -v w0="$w0" -v w1="$w1" \
    'BEGIN { printf "%.3f %% of one core (%d ticks in %.1f s)\n", 100 * t / hz / (w1 - w0), t, w1 - w0 }'
}
# Waits until the process shows a window on the display (at most 60 s).
window_of() { timeout 60 xdotool search --sync --onlyvisible --pid "$1" >/dev/null; }

scratch=$(mktemp -d)
state=$build/devnet-bench
client=""; sampled=""
cleanup() {
  [ -n "$client" ] && kill "$client" 2>/dev/null || true
  [ -n "$sampled" ] && kill "$sampled" 2>/dev/null || true
  bash "$root/tests/support/devnet_default.sh" stop "$build/bin/devnet" "$state" >/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT

# The client at its sign-on dialog, in a scratch working folder with hives and mutexes of its own.
bash "$root/tests/support/devnet_default.sh" start "$build/bin/devnet" "$state" >/dev/null
mkdir -p "$scratch/work" "$scratch/mutex"
(cd "$scratch/work" && exec env NETVANE_CA_FILE="$state/ca.pem" GDK_BACKEND=x11 \
  PARVEL_HKLM_HIVE="$scratch/hklm.hive" PARVEL_HKCU_HIVE="$scratch/hkcu.hive" PARVEL_MUTEX_DIR="$scratch/mutex" \
  PARVEL_AUTOSTART_SYSTEM="$scratch/autostart-system" PARVEL_AUTOSTART_USER="$scratch/autostart-user" \
  "$build/bin/Parvel" >"$scratch/client.log" 2>&1) &
client=$!
window_of "$client"
sleep 2  # the start's own work settles
echo "sign-on dialog: $(share "$client")"
kill "$client"; client=""

# Starts a program that prints READY once its window shows, samples it and ends it. Arguments:
# the label, then the program and its arguments.
sample_ready() {
  local label=$1 ready=""
  shift
  exec 7< <(exec env GDK_BACKEND=x11 "$@" 2>/dev/null)
  sampled=$!
  read -r -t 60 ready <&7 || true
  [ "$ready" = READY ] || { echo "$label: the window did not come up"; exit 1; }
  sleep 2
  echo "$label $(share "$sampled")"
  kill "$sampled"; sampled=""
}

# The wait dialog, shown from a worker with its spinner turning.
sample_ready "wait dialog:   " "$build/bin/idle_bench" wait
# GTK alone: a window of the dialog's size where a worker puts the next of 12 frames, drawn once,
# into its 128x128 picture every 50 ms.
sample_ready "GTK alone:     " "$build/bin/bare_spinner"

"$build/bin/idle_bench" latency
