#!/usr/bin/env bash
# The sign-on dialog benchmark, by hand: from the program's start to its sign-on dialog shown on
# the display (the X server's map of it, seen by map_watch), the real program in a scratch working folder
# with hives and mutexes of its own, under its own Xvfb; then whether the browser's processes
# it starts meanwhile end with the dialog's cancel. Prints each run and the median.
# Arguments: the number of runs (9); BUILD_DIR names the build folder (./build); PROGRAM the
# program (the build's Parvel).
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$(realpath "${BUILD_DIR:-build}")
runs=${1:-9}
program=$(realpath "${PROGRAM:-$build/bin/Parvel}")

if [ -z "${SIGNON_BENCH_DISPLAY:-}" ]; then
  cmake --build "$build" -j3 --target Parvel map_watch >/dev/null
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" env SIGNON_BENCH_DISPLAY=1 BUILD_DIR="$build" \
    PROGRAM="$program" bash "$0" "$runs"
fi

# True while the process runs (not ended, not a zombie: the program is no child of this script).
alive() { [ -e "/proc/$1" ] && ! grep -q '^State:[[:space:]]*Z' "/proc/$1/status" 2>/dev/null; }
# The WebKit processes below a process.
webkit_below() { ps -e -o pid=,ppid=,comm= | awk -v root="$1" '
  { parent[$1] = $2; name[$1] = $3 }
  END { for (p in parent) { q = parent[p]; while (q > 1 && q != root) q = parent[q];
          if (q == root && name[p] ~ /^WebKit/) print p } }'; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
out=$scratch/times
for _ in $(seq "$runs"); do
  rm -rf "$scratch/run"; mkdir -p "$scratch/run/work" "$scratch/run/mutex"
  exec 7< <(cd "$scratch/run/work" && exec env GDK_BACKEND=x11 PARVEL_HKLM_HIVE="$scratch/run/hklm.hive" \
    PARVEL_HKCU_HIVE="$scratch/run/hkcu.hive" PARVEL_MUTEX_DIR="$scratch/run/mutex" \
    PARVEL_AUTOSTART_SYSTEM="$scratch/run/as" PARVEL_AUTOSTART_USER="$scratch/run/au" \
    "$build/bin/map_watch" "$program" 2>/dev/null)
  read -r -t 60 tag ms window pid <&7 || true
  [ "${tag:-}" = MAPPED ] || { echo "no dialog"; exit 1; }
  # Let the browser's processes come up, then cancel as the operator does (Escape).
  for _ in $(seq 400); do [ -n "$(webkit_below "$pid")" ] && break; sleep 0.01; done
  helpers=$(webkit_below "$pid" | tr '\n' ' ')
  xdotool windowactivate --sync "$window" key Escape 2>/dev/null || kill "$pid"
  for _ in $(seq 1000); do alive "$pid" || break; sleep 0.01; done
  left=""
  for _ in $(seq 500); do
    left=""; for h in $helpers; do alive "$h" && left="$left $h"; done
    [ -z "$left" ] && break; sleep 0.01
  done
  echo "dialog shown $ms ms; browser processes at the dialog: ${helpers:-none}; left after cancel:${left:- none}"
  echo "$ms" >>"$out"
done
echo "program start to sign-on dialog shown: median $(sort -n "$out" | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}') ms"
