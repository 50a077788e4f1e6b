#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite. With --sanitize: the ASan + UBSan build (leak
# detection with PARVEL_DETECT_LEAKS=1). With --tsan: the ThreadSanitizer build of the suites where
# threads meet.
# Outside libraries' own leaks and races are named in scripts/lsan.supp and scripts/tsan.supp.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
build=build; flags=()
case "${1:-}" in
  --sanitize)
    build=build-asan; flags=(-DPARVEL_SANITIZE=ON)
    export ASAN_OPTIONS=detect_leaks=${PARVEL_DETECT_LEAKS:-0}:abort_on_error=1
    export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
    export UBSAN_OPTIONS=print_stacktrace=1
    ;;
  --tsan)
    build=build-tsan; flags=(-DPARVEL_TSAN=ON)
    export TSAN_OPTIONS=suppressions=$PWD/scripts/tsan.supp:second_deadlock_stack=1:print_suppressions=0
    ;;
esac
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${flags[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"
bash scripts/services.sh
cd "$build"
# One X server for the windowed tests; -noreset keeps it when its last client leaves.
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" ctest --output-on-failure -j"$(nproc)" --timeout 300
