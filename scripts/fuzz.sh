#!/usr/bin/env bash
# Builds the libFuzzer targets in build-fuzz and runs each one for a bounded
# time: scripts/fuzz.sh [seconds per target, default 60] [target ...]
# Prints one line per target. Exits non-zero when a target crashed, leaked,
# timed out or ran out of memory (the reproducer and log stay in
# build-fuzz/findings/), and zero otherwise.
# NETTOR_FUZZ_SEED fixes libFuzzer's random seed, so that a run can be
# repeated mutation for mutation (the test run fixes it); unset, every run
# draws its own and explores further. A time-out or memory finding whose
# reproducer passes when run again alone is reported and not counted: it
# came from the machine's load, not from the input.
set -uo pipefail

seconds="${1:-60}"
shift || true
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-fuzz"

if [ ! -f "$build/build.ninja" ]; then
  # The fuzz preset: clang, the readers instrumented; ccache when installed.
  (cd "$root" && cmake --preset fuzz -B "$build" \
    $([ -n "${NETTOR_UNITY_BUILD:-}" ] && echo -DCMAKE_UNITY_BUILD=ON -DCMAKE_UNITY_BUILD_BATCH_SIZE=16)) \
    >"$build.configure.log" 2>&1 || { echo "fuzz: configure failed, see $build.configure.log"; exit 2; }
fi
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in "$root"/fuzz/fuzz_*.cpp; do
    t="$(basename "$f" .cpp)"
    targets+=("$t")
  done
fi
# Only targets the build knows (fuzz_nte needs the cut-edge reader).
# Regenerate first, so that a newly added target is known.
ninja -C "$build" build.ninja >"$build/build.log" 2>&1 || { echo "fuzz: configure failed, see $build/build.log"; exit 2; }
all_targets="$(ninja -C "$build" -t targets all 2>/dev/null)"
known=()
for t in "${targets[@]}"; do
  if grep -q "^$t:" <<<"$all_targets"; then known+=("$t"); fi
done
ninja -C "$build" -j2 "${known[@]}" >"$build/build.log" 2>&1 || { echo "fuzz: build failed, see $build/build.log"; exit 2; }

mkdir -p "$build/findings"
status=0
for t in "${known[@]}"; do
  format="${t#fuzz_}"
  work="$build/corpus/$format"
  seeds="$root/fuzz/corpus/$format"
  mkdir -p "$work" "$seeds"
  log="$build/findings/$t.log"
  seed=()
  [ -n "${NETTOR_FUZZ_SEED:-}" ] && seed=(-seed="$NETTOR_FUZZ_SEED")
  LSAN_OPTIONS=suppressions="$root/tests/lsan_assimp.supp" "$build/fuzz/$t" "$work" "$seeds" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=16384 -print_final_stats=1 "${seed[@]}" -artifact_prefix="$build/findings/$t-" >"$log" 2>&1
  rc=$?
  runs="$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)"
  if [ $rc -eq 0 ]; then
    echo "$t: ok, ${runs:-?} runs in ${seconds}s${seed:+ (seed $NETTOR_FUZZ_SEED)}"
    continue
  fi
  artifact="$(grep -o "$build/findings/$t-[a-z-]*[0-9a-f]*" "$log" | tail -1)"
  case "$(basename "${artifact:-none}")" in
    "$t-timeout-"* | "$t-oom-"*)
      if LSAN_OPTIONS=suppressions="$root/tests/lsan_assimp.supp" "$build/fuzz/$t" -timeout=10 -rss_limit_mb=2048 \
           "$artifact" >"$log.again" 2>&1; then
        echo "$t: ok, ${runs:-?} runs in ${seconds}s; its finding $artifact passed alone (log $log)"
        continue
      fi ;;
  esac
  status=1
  echo "$t: FAILED (exit $rc) ${artifact:+reproducer $artifact}, log $log"
done
exit $status
