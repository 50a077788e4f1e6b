#!/usr/bin/env bash
# Sets up, builds, and runs the client against devnet, which plays the network's servers on the
# client's default addresses. The client runs as the user who started this script, never as root,
# in a working folder of that user; devnet stops when the client ends. Only the steps that need
# root get it, through sudo, each saying why.
set -euo pipefail
# Started with sudo: everything runs as the user who asked, and only the root steps below ask
# sudo again.
if [ "$(id -u)" -eq 0 ] && [ -n "${SUDO_USER:-}" ] && [ "$SUDO_USER" != root ]; then
  echo "run: started through sudo; the client runs as $SUDO_USER."
  exec sudo -u "$SUDO_USER" --preserve-env=DISPLAY,XAUTHORITY,PARVEL_BUILD,PARVEL_WORKDIR bash "$0" "$@"
fi
cd "$(dirname "$0")/.."
# getcap and setcap live in sbin, which a user's PATH leaves out.
PATH=$PATH:/usr/sbin:/sbin
root=$(pwd)
build=${PARVEL_BUILD:-$root/build}
workdir=${PARVEL_WORKDIR:-${XDG_DATA_HOME:-$HOME/.local/share}/parvel}

if [ -z "${DISPLAY:-}" ]; then
  cat <<'MSG'
run: there is no X display (DISPLAY is not set), so the client has nowhere to show its windows.
  On a desktop, run this from a terminal of that desktop.
  Without one, give it a virtual display:
    Xvfb :5 -screen 0 1280x1024x24 -noreset &
    DISPLAY=:5 bash scripts/run.sh
MSG
  exit 1
fi
# One run at a time: a second run would take the first run's devnet down (its start stops any
# devnet it finds) and leave that client without servers. The lock goes with this script; the
# programs it starts do not inherit it.
mkdir -p "$build"
if [ ! -w "$build" ]; then
  echo "run: the build folder $build belongs to another user; give this run its own: PARVEL_BUILD=\$HOME/parvel-build bash scripts/run.sh"
  exit 1
fi
exec 9>"$build/run.lock"
if ! flock -n 9; then
  echo "run: a client started by this script already runs (build $build); it keeps its devnet. Use its window, or end it before starting another."
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  cat <<'MSG'
run: the client does not run as root: its option file, logs and downloads would belong to root.
  Run this as your own user (bash scripts/run.sh); the few steps that need root ask sudo for it.
MSG
  exit 1
fi

# as_root WHY COMMAND...: one step that needs root, through sudo.
as_root() {
  local why=$1; shift
  echo "run: as root, to $why: $*"
  if ! command -v sudo >/dev/null; then
    echo "run: sudo is not installed; run as root yourself: $*"
    return 1
  fi
  sudo "$@" 9>&-
}

# setup.sh asks sudo itself, only to install the Debian packages that are missing.
bash scripts/setup.sh 9>&-
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null 9>&-
cmake --build "$build" -j"$(nproc)" --target Parvel devnet 9>&-
# devnet listens on the client's default addresses, ports 80 and 81 among them, which only a
# program with this one capability may bind. A rebuilt devnet has lost it.
if ! getcap "$build/bin/devnet" 2>/dev/null | grep -q cap_net_bind_service; then
  as_root "let devnet bind the ports 80 and 81 on loopback" setcap cap_net_bind_service=+ep "$build/bin/devnet"
fi

state=$build/devnet-run
devnet_ctl() { bash "$root/tests/support/devnet_default.sh" "$1" "$build/bin/devnet" "$state" 9>&-; }
devnet_ctl start
trap 'devnet_ctl stop >/dev/null' EXIT

mkdir -p "$workdir"
# The demo menu tree's pictures, where the client looks for them.
mkdir -p "$workdir/ico"
cp -r "$root/devnet/demo/ico/." "$workdir/ico/"
# A sample order sheet for the business pages' order import.
cp "$root/devnet/demo/orders.xls" "$workdir/orders.xls"
# Labels print on the default printer; a machine without one gets the CUPS queue "PDF" (its jobs
# land in ~/PDF/).
default_printer=$(lpstat -d 2>/dev/null || true)
if [[ "$default_printer" != *"system default destination:"* ]]; then
  as_root "start CUPS and make its PDF queue the default printer" bash "$root/scripts/services.sh" ||
    echo "run: no default printer, and the PDF queue could not be set up: labels will not print."
fi
echo "run: the client works in $workdir; sign on with account demo, password velkor2026."
cd "$workdir"
status=0
NETVANE_CA_FILE=$state/ca.pem GDK_BACKEND=x11 "$build/bin/Parvel" 9>&- || status=$?
exit $status
