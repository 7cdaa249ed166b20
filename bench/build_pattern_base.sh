#!/usr/bin/env bash
# Times `moonhaven-cli build` on a copy of a record collection and reports wall time, games per
# second, peak memory and the size of every file of the pattern base.
#
#   bench/build_pattern_base.sh [SOURCE] [--limit N] [--keep]
#
# SOURCE is "40k" (the default: tygem-gb-40k.tar.xz unpacked to a scratch folder) or the name of
# a folder of the corpus ("tygem-gb", "ai-pro"), which is copied first: a build may delete
# duplicate files, and the corpus must stay as it is. --limit N keeps only the first N record
# files (in the order the build lists them). Scratch folders live under /tmp and are removed at
# the end unless --keep is given. Figures are reported, never judged.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/bench_home.sh

source_name="40k"
limit=""
keep=0
while [ $# -gt 0 ]; do
  case "$1" in
    --limit) limit="$2"; shift 2 ;;
    --keep) keep=1; shift ;;
    -h|--help) sed -n '2,12p' "$0"; exit 0 ;;
    *) source_name="$1"; shift ;;
  esac
done

corpus="${MOONHAVEN_CORPUS:-$(pwd)/../shared/corpus}"
cli="${MOONHAVEN_CLI:-$(pwd)/build/default/apps/moonhaven-cli}"
[ -x "$cli" ] || { echo "no moonhaven-cli at $cli (build the default preset first)" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time is missing: install the Debian package 'time'" >&2; exit 1; }

scratch="$(mktemp -d /tmp/moonhaven-bench-XXXXXX)"
cleanup() { [ "$keep" = 1 ] && echo "kept $scratch" || rm -rf "$scratch"; }
trap cleanup EXIT
records="$scratch/records"
home="$scratch/home"
mkdir -p "$records" "$home"

if [ "$source_name" = "40k" ]; then
  tar -xJf "$corpus/tygem-gb-40k.tar.xz" -C "$records"
else
  cp -r "$corpus/$source_name/." "$records/"
  chmod -R u+w "$records"
fi
if [ -n "$limit" ]; then
  # Keep the first N record files in byte order of their paths, drop the rest.
  LC_ALL=C find "$records" -type f | LC_ALL=C sort | tail -n +"$((limit + 1))" | tr '\n' '\0' | xargs -0 -r rm -f
fi
files=$(find "$records" -type f | wc -l)

write_bench_home "$home" "$records"

echo "source: $source_name, record files: $files"
start=$(date +%s.%N)
set +e
( cd "$scratch" && /usr/bin/time -v -o "$scratch/time.txt" "$cli" build --home "$home" ${MOONHAVEN_BUILD_ARGS:-} >"$scratch/out.txt" 2>"$scratch/err.txt" )
status=$?
set -e
end=$(date +%s.%N)
cat "$scratch/out.txt"
[ "$status" = 0 ] || { echo "build exited with $status" >&2; tail -5 "$scratch/err.txt" >&2; }

games=$(awk '/^index /{print $2}' "$scratch/out.txt")
wall=$(awk -v s="$start" -v e="$end" 'BEGIN{printf "%.2f", e - s}')
peak=$(awk -F': ' '/Maximum resident set size/{print $2}' "$scratch/time.txt")
cpu_user=$(awk -F': ' '/User time/{print $2}' "$scratch/time.txt")
cpu_sys=$(awk -F': ' '/System time/{print $2}' "$scratch/time.txt")
echo "wall time: ${wall} s (user ${cpu_user} s, system ${cpu_sys} s)"
awk -v g="${games:-0}" -v w="$wall" 'BEGIN{ if (w > 0) printf "games per second: %.1f\n", g / w }'
echo "peak memory: ${peak} KiB"
echo "files of the pattern base:"
( cd "$home" && LC_ALL=C ls -l bench.* | awk '{printf "  %-16s %12d bytes\n", $9, $5}' )
