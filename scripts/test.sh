#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite. With --sanitize: the ASan + UBSan build.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
build=build; flags=()
if [ "${1:-}" = "--sanitize" ]; then
  build=build-asan; flags=(-DPARVEL_SANITIZE=ON)
  export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1
fi
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${flags[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"
bash scripts/services.sh
cd "$build"
# One X server for the windowed tests; -noreset keeps it when its last client leaves.
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" ctest --output-on-failure -j"$(nproc)" --timeout 300
