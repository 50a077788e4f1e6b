#!/usr/bin/env bash
# The tab benchmark, by hand: signed on against devnet under Xvfb, cycles of the first server
# toolbar button's new tab and that tab's close button, with the client's resident memory, heap in
# use, window records and closed tabs' web views still alive printed every N cycles, and the growth
# per tab after the first 50. Arguments: the number of cycles (400) and N (50); BUILD_DIR names the
# build folder (./build).
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${BUILD_DIR:-build}"
cmake --build "$build" -j3 --target tab_bench devnet >/dev/null
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$build/bin/tab_bench" "${1:-400}" "${2:-50}" 2>/dev/null |
  grep -E '^(TAB|PER_TAB)'
