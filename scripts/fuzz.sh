#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the libFuzzer targets of fuzz/ in build-fuzz (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for SECONDS (default 600), one after another. The
# seeds in fuzz/corpus are only read: what the fuzzer finds goes to a scratch folder
# (build-fuzz/fuzz-out, or $VELMORA_FUZZ_OUT). Fails on any crash, leak, timeout, memory
# blow-up or sanitizer report; the input that caused it is kept as <scratch>/<target>/crash-*.
#   scripts/fuzz.sh [SECONDS] [TARGET...]     targets: settings_file scenario plist_json
#                                            x11_properties xdg_entries (default: all)
# VELMORA_FUZZ_BUILD=0 skips the build (runs of several targets side by side).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-600}
[ $# -gt 0 ] && shift
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(settings_file scenario plist_json x11_properties xdg_entries)
build=$top/build-fuzz
out=${VELMORA_FUZZ_OUT:-$build/fuzz-out}

# The longest input worth trying for each kind: a settings file or a desktop file of some
# size, a scenario of a few dozen lines, a JSON value or a window property.
declare -A max_len=([settings_file]=16384 [scenario]=8192 [plist_json]=4096
                    [x11_properties]=4096 [xdg_entries]=8192)

if [ "${VELMORA_FUZZ_BUILD:-1}" != 0 ]; then
  "$top/scripts/deps.sh"
  echo "== build-fuzz: configure and build"
  CC=clang CXX=clang++ cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVELMORA_FUZZ=ON -DVELMORA_WERROR=ON -DVELMORA_BUILD_BENCHMARKS=OFF >/dev/null
  cmake --build "$build" -j "$(( $(nproc) < 2 ? $(nproc) : 2 ))" --target velmora_fuzz
fi

failed=()
for target in "${targets[@]}"; do
  [ -n "${max_len[$target]:-}" ] || { echo "fuzz: no target $target" >&2; exit 2; }
  work=$out/$target
  mkdir -p "$work/corpus" "$work/tmp"
  args=(-max_total_time="$seconds" -detect_leaks=1 -rss_limit_mb=1024 -timeout=10
        -max_len="${max_len[$target]}" -print_final_stats=1 -artifact_prefix="$work/")
  [ -f "$top/fuzz/$target.dict" ] && args+=(-dict="$top/fuzz/$target.dict")
  echo "== fuzz $target: ${seconds}s"
  status=0
  TMPDIR=$work/tmp ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$build/fuzz/${target}_fuzzer" "${args[@]}" "$work/corpus" "$top/fuzz/corpus/$target" \
    >"$work/log" 2>&1 || status=$?
  if [ $status -ne 0 ] || grep -qE 'ERROR: (Address|Leak|UndefinedBehavior)Sanitizer|runtime error:|velmora fuzz:' "$work/log"; then
    grep -E 'ERROR:|runtime error:|velmora fuzz:|SUMMARY|Test unit written' "$work/log" | head -20 >&2
    failed+=("$target")
  fi
  # The figures of the run: executions, their rate, coverage and the corpus it ended with.
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$work/log")
  last=$(grep -E '^#[0-9]+' "$work/log" | tail -1)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
  corp=$(sed -n 's/.* corp: \([0-9]*\/[0-9]*[a-zA-Z]*\).*/\1/p' <<<"$last")
  echo "$target: executions ${execs:-?}, exec/s ${rate:-?}, cov ${cov:-?}, ft ${ft:-?}, corpus ${corp:-?}, status $status" |
    tee -a "$out/summary.txt"
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzz: findings in ${failed[*]} (logs and inputs in $out)" >&2
  exit 1
fi
echo "== fuzz: no findings"
