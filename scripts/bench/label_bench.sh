#!/usr/bin/env bash
# The label-print benchmark, by hand: one label from the request to its result against the same
# download and Ghostscript command alone, for a 4*8 and a 4*6 label, under Xvfb. Needs cupsd with
# the "PDF" queue (scripts/services.sh) and the build in ./build.
set -euo pipefail
cd "$(dirname "$0")/../.."
bash scripts/services.sh >/dev/null
cmake --build build -j3 --target label_bench devnet >/dev/null
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" build/bin/label_bench "${1:-7}" 2>/dev/null
