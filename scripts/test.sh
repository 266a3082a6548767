#!/usr/bin/env bash
# Builds and runs every test of Nettor, each build from its preset in
# CMakePresets.json:
#   sanitizers  the core tests under AddressSanitizer and
#               UndefinedBehaviorSanitizer (preset asan);
#   worker      the tests of the unfolding worker and the part search under
#               ThreadSanitizer (preset tsan);
#   fuzz        a short run of every fuzz target (preset fuzz), from a fixed
#               seed so that a run can be repeated (NETTOR_FUZZ_SEED);
#   install     the build of all tests installed into a temporary prefix and
#               packaged with cpack, then checked (tests/install/);
#   all tests   all tests (core, command line, widgets, man page) of a normal
#               build (preset dev), under Xvfb.
# Every stage runs even when an earlier one failed. One summary line per
# stage follows, then CTest's closing summary once more, and the exit code is
# non-zero when any stage failed.
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"

bash scripts/setup-deps.sh || exit 1
JOBS="$(nproc 2>/dev/null || echo 2)"
started=$SECONDS
# Repeated runs (and clones in other folders) reuse what was compiled: the
# build takes ccache as the compilers' launcher when it is installed.
# With debug information ccache would also hash the build folder, so that a
# clone in another folder found nothing of the first one's.
export CCACHE_BASEDIR="$ROOT" CCACHE_NOHASHDIR=1

# Unity builds (sources compiled in batches) keep the four builds within the
# time of a test run; the developers' own builds compile file by file.
BUILD_OPTIONS=(-DCMAKE_UNITY_BUILD=ON -DCMAKE_UNITY_BUILD_BATCH_SIZE=16)
export NETTOR_UNITY_BUILD=1

declare -A result details
stages=(sanitizers worker fuzz install "all tests")
for s in "${stages[@]}"; do result[$s]="not run"; done
stage_start=$SECONDS
finish() { # stage, passed|failed|skipped (reason)
  result[$1]="$2 ($((SECONDS - stage_start)) s)"
  stage_start=$SECONDS
}

echo "== Sanitizer build of the core tests (ASan + UBSan)"
if cmake --preset asan "${BUILD_OPTIONS[@]}" > build-asan.log 2>&1 \
   && ninja -C build-asan nettor_core_tests >> build-asan.log 2>&1; then
  # The tests run in eight shards (GoogleTest's), two at a time, each shard
  # taken up as soon as a core is free, so that the few long property tests
  # do not keep one core busy while the other waits. Each shard's output
  # follows when all have ended.
  rm -f build-asan/shard-*.log build-asan/shard-*.rc
  seq 0 7 | ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 LSAN_OPTIONS=suppressions="$ROOT/tests/lsan_assimp.supp" \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 GTEST_TOTAL_SHARDS=8 xargs -P "$JOBS" -I{} sh -c \
    'GTEST_SHARD_INDEX={} ./build-asan/tests/nettor_core_tests --gtest_brief=1 > build-asan/shard-{}.log 2>&1; echo $? > build-asan/shard-{}.rc'
  sanitized_ok=1
  for shard in 0 1 2 3 4 5 6 7; do
    cat "build-asan/shard-$shard.log"
    [ "$(cat "build-asan/shard-$shard.rc" 2>/dev/null)" = 0 ] || sanitized_ok=0
  done
  if [ "$sanitized_ok" -eq 1 ]; then
    finish sanitizers passed
  else
    finish sanitizers failed
    details[sanitizers]="$(grep -h -E '^\[  FAILED|ERROR: .*Sanitizer|runtime error' build-asan/shard-*.log | head -20)"
  fi
else
  echo "sanitizer build failed; see build-asan.log"; tail -20 build-asan.log
  finish sanitizers "failed (build)"
fi

echo "== ThreadSanitizer build of the worker tests"
if cmake --preset tsan "${BUILD_OPTIONS[@]}" > build-tsan.log 2>&1 \
   && ninja -C build-tsan nettor_worker_tests >> build-tsan.log 2>&1; then
  if TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 ./build-tsan/tests/nettor_worker_tests --gtest_brief=1; then
    finish worker passed
  else
    finish worker failed
  fi
else
  echo "ThreadSanitizer build failed; see build-tsan.log"; tail -20 build-tsan.log
  finish worker "failed (build)"
fi

echo "== Short fuzzing run"
fuzz_log="$(mktemp)"
if NETTOR_FUZZ_SEED="${NETTOR_FUZZ_SEED:-1}" bash scripts/fuzz.sh "${NETTOR_FUZZ_SECONDS:-10}" 2>&1 | tee "$fuzz_log"; [ "${PIPESTATUS[0]}" -eq 0 ]; then
  finish fuzz passed
else
  finish fuzz failed
  # What the failing targets said goes into the summary, which is what a
  # reader of the run's last lines sees.
  details[fuzz]="$(grep -v ': ok,' "$fuzz_log")"
  for log in $(grep -o 'log [^ ]*\.log' "$fuzz_log" | cut -d' ' -f2); do
    details[fuzz]+=$'\n'"$(grep -E -m1 -A12 'ERROR|WARNING: .*Sanitizer|==[0-9]+==|deadly signal|timeout|out-of-memory' "$log")"
  done
fi
rm -f "$fuzz_log"

echo "== Build of all tests"
built=0
if cmake --preset dev "${BUILD_OPTIONS[@]}" > build-test.log 2>&1 \
   && ninja -C build-test -j"$JOBS" >> build-test.log 2>&1; then
  built=1
else
  echo "build failed; see build-test.log"; grep -E "error|FAILED" build-test.log | head -40
fi
build_seconds=$((SECONDS - stage_start))

echo "== Installed files and the Debian package"
stage_start=$SECONDS
if [ $built -eq 0 ]; then
  finish install "failed (the build failed)"
elif bash tests/install/check_install.sh build-test; then
  finish install passed
else
  finish install failed
fi

echo "== All tests"
stage_start=$((SECONDS - build_seconds))
ctest_log="build-test/ctest-summary.log"
if [ $built -eq 0 ]; then
  rm -f "$ctest_log"
  finish "all tests" "failed (build)"
else
  cd build-test
  ctest_cmd=(ctest --output-on-failure -j"$JOBS")
  if [ -z "${DISPLAY:-}" ] && command -v xvfb-run > /dev/null; then
    ctest_cmd=(xvfb-run -a -s "-screen 0 1280x1024x24" "${ctest_cmd[@]}")
  fi
  "${ctest_cmd[@]}" 2>&1 | tee ctest-summary.log
  ctest_status=${PIPESTATUS[0]}
  cd "$ROOT"
  if [ "$ctest_status" -eq 0 ]; then finish "all tests" passed; else finish "all tests" failed; fi
fi

echo
echo "== Summary ($((SECONDS - started)) s)"
status=0
for s in "${stages[@]}"; do
  echo "$s: ${result[$s]}"
  [ -n "${details[$s]:-}" ] && sed 's/^/    /' <<<"${details[$s]}"
  case "${result[$s]}" in passed*) ;; *) status=1 ;; esac
done
# CTest's closing summary stays the last thing the run says.
if [ -f "$ctest_log" ]; then
  echo
  sed -n '/tests passed, .* tests failed out of/,$p' "$ctest_log"
fi
exit $status
