#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, ASan + UBSan, in build-fuzz) and runs each for the
# given number of seconds (default 60), starting from its seed corpus in fuzz/corpus/<name>.
# New inputs collect in build-fuzz/corpus/<name>, anything that fails in
# build-fuzz/artifacts/<name>/. Exits non-zero when a target fails.
#   PARVEL_FUZZ_TARGETS="a b"  only these targets (names without the fuzz_ prefix)
#   PARVEL_FUZZ_JOBS=N         run N targets at once (default 1)
#   PARVEL_FUZZ_BUILD=folder   build and run in that folder instead
#   PARVEL_FUZZ_HELD=run       fuzz the targets of fuzz/held.txt too, going on past crashes
#                              (otherwise they only run over their seeds)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
bash scripts/setup.sh
build=${PARVEL_FUZZ_BUILD:-build-fuzz}
CC=clang CXX=clang++ cmake -S . -B "$build" -DPARVEL_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target fuzz_all -j"${PARVEL_BUILD_JOBS:-3}"

targets=${PARVEL_FUZZ_TARGETS:-$(cd "$build/bin" && ls fuzz_* | sed 's/^fuzz_//')}
export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The picture targets draw on a real display; one virtual X server serves them all.
display_pid=
cleanup() { [ -n "$display_pid" ] && kill "$display_pid" 2>/dev/null || true; }
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 120); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -noreset -nolisten tcp >/dev/null 2>&1 &
    display_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 100); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
    break
  done
fi

run_one() {
  local name=$1 corpus=$build/corpus/$1 artifacts=$build/artifacts/$1/ log=$build/logs/$1.log
  mkdir -p "$corpus" "$artifacts" "$build/logs"
  local how=(-max_total_time="$seconds")
  if grep -q "^$name " fuzz/held.txt; then
    if [ "${PARVEL_FUZZ_HELD:-}" = run ]; then
      how+=(-fork=1 -ignore_crashes=1 -ignore_ooms=1 -ignore_timeouts=1)
    else
      how=(-runs=0)
    fi
  fi
  # -timeout: one input may take this long; -close_fd_mask=1: the readers' own output goes.
  if "$build/bin/fuzz_$name" "${how[@]}" -timeout=30 -rss_limit_mb=2560 -close_fd_mask=1 \
      -print_final_stats=1 -artifact_prefix="$artifacts" "$corpus" "fuzz/corpus/$name" >"$log" 2>&1; then
    local runs cov
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
    cov=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -1 || true)
    echo "fuzz: $name ok, ${runs:-?} runs, ${cov:-no coverage line}"
  else
    echo "fuzz: $name FAILED (log: $log, inputs: $artifacts)"
    grep -E 'ERROR|check failed|runtime error|SUMMARY' "$log" | head -5 | sed 's/^/fuzz:   /'
    return 1
  fi
}

failed=0
jobs=${PARVEL_FUZZ_JOBS:-1}
pids=()
for t in $targets; do
  run_one "$t" &
  pids+=($!)
  if [ ${#pids[@]} -ge "$jobs" ]; then
    wait "${pids[0]}" || failed=1
    pids=("${pids[@]:1}")
  fi
done
for p in "${pids[@]}"; do wait "$p" || failed=1; done
exit $failed
