#!/usr/bin/env bash
# The page benchmark, by hand: the client's first signed-on business page against a bare WebKitGTK
# shell (one window, one view) in the same runs, both against devnet, under Xvfb. Prints each run
# and the medians of P1 (shell: process start to the page; client: the Return key in the sign-on
# dialog to the page's document complete), P2 (resident memory of the process and its WebKit
# processes then), P3 (one window.external call from page script: median and 99th percentile of
# the run) and of the client's steps, each from the Return key.
# Arguments: the number of runs (7); BUILD_DIR names the build folder (./build).
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${BUILD_DIR:-build}"
runs="${1:-7}"
cmake --build "$build" -j3 --target page_bench bare_webkit_shell devnet >/dev/null
out=$(mktemp)
for _ in $(seq "$runs"); do
  xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$build/bin/page_bench" "$build/bin/bare_webkit_shell" 2>/dev/null |
    grep -E '^(SHELL_P1|STEPS)' | paste -sd ' ' | tee -a "$out"
done
median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
col() { awk -v k="$1" '{for (i = 1; i < NF; ++i) if ($i == k) {print $(i + 1); break}}' "$out" | median; }
sp1=$(col SHELL_P1); srss=$(col SHELL_RSS); cp1=$(col CLIENT_P1); crss=$(col CLIENT_RSS)
emed=$(col EXT_MEDIAN_P99); ep99=$(awk '{for (i = 1; i < NF; ++i) if ($i == "EXT_MEDIAN_P99") print $(i + 2)}' "$out" | median)
echo "P1 client ${cp1} ms (Return to page), shell ${sp1} ms (cold start to page), ratio $(awk -v a="$cp1" -v b="$sp1" 'BEGIN{printf "%.2f", a/b}')"
echo "P2 client ${crss} kB, shell ${srss} kB, ratio $(awk -v a="$crss" -v b="$srss" 'BEGIN{printf "%.2f", a/b}')"
echo "P3 window.external call: median ${emed} ms, p99 ${ep99} ms (medians over the runs)"
echo "client steps from Return (medians): signed on $(col signon), frame $(col frame), tab $(col tab)," \
  "shown $(col shown), list $(col list), page $(col page) ms"
rm -f "$out"
