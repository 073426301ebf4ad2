#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) and runs each for a
# bounded time. Usage: scripts/fuzz.sh [seconds per target, default 60] [targets...]
# The stored seeds in fuzz/corpus/<target> are only read; what the fuzzer
# finds goes to build-fuzz/corpus/<target>. A failing input is left in
# build-fuzz/crashes/<target>/: copy it into fuzz/corpus/<target>/ so that the
# regression test (tests/regress) replays it from then on.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(number format bmf json)
out=${CBEAM_FUZZ_DIR:-build-fuzz}

command -v clang++ >/dev/null || bash scripts/deps.sh
cmake -S fuzz -B "$out/fuzz" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$out/fuzz" -j "$(nproc)"

status=0
for t in "${targets[@]}"; do
  mkdir -p "$out/corpus/$t" "$out/crashes/$t"
  # A beam file of a few hundred records still runs fast; longer ones only add bytes.
  max_len=4096
  [ "$t" = bmf ] && max_len=65536
  dict=()
  [ "$t" = json ] && max_len=16384 && dict=(-dict=fuzz/json.dict)
  echo "== fuzz_$t for ${seconds}s"
  log="$out/fuzz-$t.log"
  if "$out/fuzz/fuzz_$t" "$out/corpus/$t" "fuzz/corpus/$t" \
      -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$out/crashes/$t/" -print_final_stats=1 "${dict[@]}" >"$log" 2>&1; then
    grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -1 || true
    grep -E 'stat::number_of_executed_units' "$log" || true
  else
    status=1
    echo "fuzz_$t FAILED; see $log and $out/crashes/$t/"
    grep -E 'property broken|ERROR: |SUMMARY' "$log" | head -5 || true
  fi
done
exit $status
