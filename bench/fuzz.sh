#!/usr/bin/env bash
# Builds the fuzz preset and runs every libFuzzer target of fuzz/ for SECONDS_PER_TARGET seconds
# (default 60), one after the other, then prints the executions and findings of each target.
#   bash bench/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]
# Starting inputs are made fresh on every run: the binary formats by the fuzz_seeds program, the
# text formats from fuzz/seeds/, the tests' data files and a small sample of the game-record
# corpus. Inputs that found new coverage are kept in build/fuzz/corpus/<target> between runs;
# findings of the last run (crash-*, leak-*, timeout-*, oom-*) are in build/fuzz/findings/<target>/,
# and the script exits with 1 when there is any. Reproduce one with: build/fuzz/fuzz/<target> <file>.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds="${1:-60}"
if [ $# -gt 0 ]; then shift; fi

bash scripts/setup.sh fuzz
bin=build/fuzz/fuzz
out=build/fuzz
corpus="${MOONHAVEN_CORPUS:-$root/../shared/corpus}"

if [ $# -gt 0 ]; then
  targets=("$@")
else
  targets=()
  for f in fuzz/*_fuzz.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi

# Starting inputs.
seeds="$out/seeds"
rm -rf "$seeds"
mkdir -p "$seeds"
"$bin/fuzz_seeds" "$seeds"
for d in fuzz/seeds/*/; do
  mkdir -p "$seeds/$(basename "$d")"
  cp "$d"* "$seeds/$(basename "$d")/"
done
cp tests/data/*.txt "$seeds/matrix_fuzz/"
if [ -d "$corpus" ]; then
  # Every step-th small record of each collection, in a fixed order: about fifty files.
  for c in ai-pro:150 tygem-gb:100 tygem-big5:20; do
    step=${c#*:}
    c=${c%:*}
    [ -d "$corpus/$c" ] || continue
    i=0
    while IFS= read -r -d '' f; do
      if [ $((i % step)) -eq 0 ]; then cp "$f" "$seeds/sgf_fuzz/$c-$i.sgf"; fi
      i=$((i + 1))
    done < <(find "$corpus/$c" -type f -iname '*.sgf' -size -8k -print0 | sort -z)
  done
fi

total_execs=0
total_findings=0
for t in "${targets[@]}"; do
  rm -rf "$out/findings/$t"
  mkdir -p "$out/corpus/$t" "$out/findings/$t" "$seeds/$t"
  log="$out/findings/$t.log"
  set +e
  "$bin/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$out/findings/$t/" "$out/corpus/$t" "$seeds/$t" >"$log" 2>&1
  rc=$?
  set -e
  execs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*$' || true)
  execs=${execs:-0}
  findings=$(find "$out/findings/$t" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' \
    -o -name 'oom-*' \) | wc -l)
  if [ "$rc" -ne 0 ] && [ "$findings" -eq 0 ]; then findings=1; fi
  total_execs=$((total_execs + execs))
  total_findings=$((total_findings + findings))
  line=$(printf '%-22s %12s executions %3s findings' "$t" "$execs" "$findings")
  if [ "$findings" -gt 0 ]; then line="$line (see $log)"; fi
  echo "$line"
done
echo "fuzz: ${#targets[@]} targets, ${seconds} s each, $total_execs executions, $total_findings findings"
[ "$total_findings" -eq 0 ]
