#!/usr/bin/env bash
# The page benchmark, by hand: the client's first signed-on business page against a bare WebKitGTK
# shell (one window, one view) in the same runs, both against devnet, under Xvfb. Prints each run
# and the medians of P1 (shell: process start to the page; client: sign-on OK to the page's
# document complete), P2 (resident memory of the process and its WebKit processes then) and P3
# (one window.external call from page script: median and 99th percentile of the run).
# Arguments: the number of runs (7); BUILD_DIR names the build folder (./build).
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${BUILD_DIR:-build}"
runs="${1:-7}"
cmake --build "$build" -j3 --target page_bench bare_webkit_shell devnet >/dev/null
out=$(mktemp)
for _ in $(seq "$runs"); do
  xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$build/bin/page_bench" "$build/bin/bare_webkit_shell" 2>/dev/null |
    grep '^SHELL_P1' | tee -a "$out"
done
median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
sp1=$(awk '{print $2}' "$out" | median); srss=$(awk '{print $4}' "$out" | median)
cp1=$(awk '{print $6}' "$out" | median); crss=$(awk '{print $8}' "$out" | median)
emed=$(awk '{print $10}' "$out" | median); ep99=$(awk '{print $11}' "$out" | median)
echo "P1 client ${cp1} ms, shell ${sp1} ms, ratio $(awk -v a="$cp1" -v b="$sp1" 'BEGIN{printf "%.2f", a/b}')"
echo "P2 client ${crss} kB, shell ${srss} kB, ratio $(awk -v a="$crss" -v b="$srss" 'BEGIN{printf "%.2f", a/b}')"
echo "P3 window.external call: median ${emed} ms, p99 ${ep99} ms (medians over the runs)"
rm -f "$out"
