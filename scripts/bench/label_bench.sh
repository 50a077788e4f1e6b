#!/usr/bin/env bash
# The label-print benchmark, by hand: one label from a business page's call to its print_complete
# against the same download and Ghostscript command alone, for a 4*8 and a 4*6 label, under Xvfb.
# Needs cupsd with the "PDF" queue (scripts/services.sh). Arguments: the number of runs per size
# (7); BUILD_DIR names the build folder (./build).
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${BUILD_DIR:-build}"
bash scripts/services.sh >/dev/null
cmake --build "$build" -j3 --target label_bench devnet >/dev/null
LABEL_BENCH_RUNS="${1:-7}" xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$build/bin/label_bench" \
  --gtest_brief=1 2>/dev/null | grep -E 'CLIENT|FAILED|PASSED'
