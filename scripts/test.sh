#!/usr/bin/env bash
# Builds and runs every test of Nettor:
#   1. the core tests under AddressSanitizer and UndefinedBehaviorSanitizer;
#   2. the tests of the unfolding worker and the part search under
#      ThreadSanitizer;
#   3. a short run of every fuzz target (when clang's libFuzzer is present);
#   4. all tests (core, command line, widgets) of a normal build, which ends
#      with CTest's summary.
# The exit code is non-zero when anything failed.
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"

bash scripts/setup-deps.sh || exit 1
JOBS="$(nproc 2>/dev/null || echo 2)"
status=0
# Repeated runs (and clones in other folders) reuse what was compiled.
BUILD_OPTIONS=()
if command -v ccache > /dev/null; then
  export CCACHE_BASEDIR="$ROOT"
  BUILD_OPTIONS=(-DCMAKE_CXX_COMPILER_BUILD_OPTIONS=ccache -DCMAKE_C_COMPILER_BUILD_OPTIONS=ccache)
fi

# Unity builds (sources compiled in batches) keep the four builds within the
# time of a test run; the developers' own builds compile file by file.
BUILD_OPTIONS+=(-DCMAKE_UNITY_BUILD=ON -DCMAKE_UNITY_BUILD_BATCH_SIZE=16)
export NETTOR_UNITY_BUILD=1

echo "== Sanitizer build of the core tests (ASan + UBSan)"
if cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DNETTOR_SANITIZE=ON \
     -DNETTOR_BUILD_APP=OFF -DNETTOR_BUILD_BENCH=OFF "${BUILD_OPTIONS[@]}" > build-asan.log 2>&1 \
   && ninja -C build-asan nettor_core_tests >> build-asan.log 2>&1; then
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 LSAN_OPTIONS=suppressions="$ROOT/tests/lsan_assimp.supp" UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ./build-asan/tests/nettor_core_tests --gtest_brief=1 || status=1
else
  echo "sanitizer build failed; see build-asan.log"; tail -20 build-asan.log; status=1
fi

echo "== ThreadSanitizer build of the worker tests"
if cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNETTOR_TSAN=ON \
     -DNETTOR_BUILD_APP=OFF -DNETTOR_BUILD_BENCH=OFF "${BUILD_OPTIONS[@]}" > build-tsan.log 2>&1 \
   && ninja -C build-tsan nettor_worker_tests >> build-tsan.log 2>&1; then
  TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 ./build-tsan/tests/nettor_worker_tests --gtest_brief=1 || status=1
else
  echo "ThreadSanitizer build failed; see build-tsan.log"; tail -20 build-tsan.log; status=1
fi

if [ -x scripts/fuzz.sh ] || [ -f scripts/fuzz.sh ]; then
  echo "== Short fuzzing run"
  bash scripts/fuzz.sh "${NETTOR_FUZZ_SECONDS:-10}" || status=1
fi

echo "== Build and run all tests"
if ! { cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${BUILD_OPTIONS[@]}" > build-test.log 2>&1 \
       && ninja -C build-test -j"$JOBS" >> build-test.log 2>&1; }; then
  echo "build failed; see build-test.log"; grep -E "error|FAILED" build-test.log | head -40
  exit 1
fi
cd build-test
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run > /dev/null; then
  xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j"$JOBS" || status=1
else
  ctest --output-on-failure -j"$JOBS" || status=1
fi
exit $status
