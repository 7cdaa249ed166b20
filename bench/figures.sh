#!/usr/bin/env bash
# Runs every figure of the pattern-base targets on the corpora and prints one table: figure,
# before (the figures this work started from), measured (the median of the runs, with their
# spread min–max; CPU time beside wall time) and goal. First it checks that the build writes the
# files of the straightforward path byte for byte on 240 games (the write-back equality test).
#
#   bench/figures.sh [--runs N] [--quick] [--with-200k] [--with-320k]
#
# --runs N      runs of each figure (default 3; the 40k build and the add run at most twice each,
#               the 200k and 320k builds once)
# --quick       only the figures of ai-pro/ (7,259 games) and tygem-gb/ (2,000 games): opening the
#               base and the hints are then measured on the 2,000-game base
# --with-200k   also builds the 198,218 games of tygem-gb-200k.tar.xz in one run, and adds its last
#               month to a base of the other months; needs about 8 GB under /tmp
# --with-320k   also builds the 40k corpus under its eight symmetries (321,552 record files,
#               written by `moonhaven_figures turn`); takes long and needs a few GB under /tmp
#
# Needs the default preset built (moonhaven-cli and bench/moonhaven_figures) and /usr/bin/time.
# Every build works on its own copy of the records (a build deletes duplicate files) and its own
# home; everything lives in one scratch folder under /tmp, removed at the end. Hints are looked up
# for positions of ai-pro/ games, which are not in the tygem bases. Figures are reported, never
# judged; the machine's load is printed with the table, since other work skews the figures.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/bench_home.sh

runs=3
quick=0
with320k=0
with200k=0
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs="$2"; shift 2 ;;
    --quick) quick=1; shift ;;
    --with-320k) with320k=1; shift ;;
    --with-200k) with200k=1; shift ;;
    -h|--help) sed -n '2,22p' "$0"; exit 0 ;;
    *) echo "unknown option $1 (see --help)" >&2; exit 1 ;;
  esac
done
[[ "$runs" =~ ^[1-9][0-9]*$ ]] || { echo "--runs needs a positive number" >&2; exit 1; }

corpus="${MOONHAVEN_CORPUS:-$(pwd)/../shared/corpus}"
cli="${MOONHAVEN_CLI:-$(pwd)/build/default/apps/moonhaven-cli}"
figures="${MOONHAVEN_FIGURES:-$(pwd)/build/default/bench/moonhaven_figures}"
for tool in "$cli" "$figures"; do
  [ -x "$tool" ] || { echo "no $tool (build the default preset first)" >&2; exit 1; }
done
[ -x /usr/bin/time ] || { echo "/usr/bin/time is missing: install the Debian package 'time'" >&2; exit 1; }

scratch="$(mktemp -d /tmp/moonhaven-figures-XXXXXX)"
trap 'rm -rf "$scratch"' EXIT
values="$scratch/values"  # one file per measured quantity, one line per run
mkdir -p "$values" "$scratch/src"
load_before=$(cut -d' ' -f1-3 /proc/loadavg)

say() { echo "[$(date +%H:%M:%S)] $*" >&2; }
keep() { echo "$2" >> "$values/$1"; }  # keep NAME VALUE

# summary NAME DECIMALS: "median (min–max)" of the kept values, or the value of a single run.
summary() {
  [ -s "$values/$1" ] || { echo "not run"; return; }
  sort -g "$values/$1" | awk -v fmt="%.$2f" '
    { v[NR] = $1 }
    END {
      m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
      if (NR == 1) printf fmt, m
      else printf fmt " (" fmt "–" fmt ", %d runs)", m, v[1], v[NR], NR
    }'
}
median() { sort -g "$values/$1" | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# A work folder: records/ (hard links to a source folder: a build only reads record files or
# deletes duplicates, so the source stays whole) and home/ with a WPBs.ini naming the base "bench".
prepare() {  # prepare SOURCE WORK
  rm -rf "$2"
  mkdir -p "$2"
  cp -al "$1" "$2/records"
  write_bench_home "$2/home" "$2/records"
}

# Builds the base of WORK and keeps its wall time, peak memory and indexed games under NAME.
timed_build() {  # timed_build NAME WORK
  local start end wall peak games
  start=$(date +%s.%N)
  if ! /usr/bin/time -v -o "$2/time.txt" "$cli" build --home "$2/home" >"$2/out.txt" 2>"$2/err.txt"; then
    echo "the build in $2 failed:" >&2
    tail -5 "$2/err.txt" >&2
    exit 1
  fi
  end=$(date +%s.%N)
  wall=$(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.3f", e - s }')
  peak=$(awk -F': ' '/Maximum resident set size/ { printf "%.1f", $2 / 1024 }' "$2/time.txt")
  keep "$1.cpu" "$(awk -F': ' '/User time|System time/ { t += $2 } END { printf "%.2f", t }' "$2/time.txt")"
  games=$(awk '/^index / { print $2 }' "$2/out.txt")
  keep "$1.wall" "$wall"
  keep "$1.peak" "$peak"
  keep "$1.games" "$games"
  keep "$1.rate" "$(awk -v g="$games" -v w="$wall" 'BEGIN { printf "%.1f", g / w }')"
  keep "$1.ms_per_game" "$(awk -v g="$games" -v w="$wall" 'BEGIN { printf "%.4f", 1000 * w / g }')"
  say "$1: $games games, $wall s (CPU $(tail -n 1 "$values/$1.cpu") s), peak $peak MiB, load $(cut -d' ' -f1 /proc/loadavg)"
}

# Full builds of SOURCE, RUNS times, each on a fresh copy; the last run's work folder stays.
full_builds() {  # full_builds NAME SOURCE [RUNS]
  local r
  for r in $(seq "${3:-$runs}"); do
    prepare "$2" "$scratch/$1"
    timed_build "$1" "$scratch/$1"
  done
}

# Opening the base of WORK for hints and the hints of positions from ai-pro games, RUNS times.
hint_figures() {  # hint_figures WORK [PREFIX]
  local r
  for r in $(seq "$runs"); do
    "$figures" hints "$1/home/bench" "$scratch/src/ai-pro" >"$scratch/hints.txt"
    while read -r name value; do keep "${2:-hints}.$name" "$value"; done <"$scratch/hints.txt"
  done
  say "hints: $(tr '\n' ' ' <"$scratch/hints.txt")"
}

# Bytes per game of the files rooms read and of the build's own files, for the base of WORK.
disk_figures() {  # disk_figures WORK [PREFIX]
  local games rooms own p="${2:-disk}"
  games=$(median "$(basename "$1").games")
  rooms=$(cd "$1/home" && cat bench.idx bench.wp2 bench.wp2_ bench.lb bench.lb_ | wc -c)
  own=$(cd "$1/home" && cat bench.wp2.aos* bench.lb.aos* | wc -c)
  keep "$p.rooms_gb" "$(awk -v b="$rooms" 'BEGIN { printf "%.2f", b / 1e9 }')"
  keep "$p.own_gb" "$(awk -v b="$own" 'BEGIN { printf "%.2f", b / 1e9 }')"
  [ "$p" = disk ] || return 0
  keep disk.rooms "$(awk -v b="$rooms" -v g="$games" 'BEGIN { printf "%.0f", b / g }')"
  keep disk.own "$(awk -v b="$own" -v g="$games" 'BEGIN { printf "%.0f", b / g }')"
  keep disk.ratio "$(awk -v a="$own" -v b="$rooms" 'BEGIN { printf "%.2f", a / b }')"
}

say "checking the stored files against the straightforward path on 240 games"
equality_test="${MOONHAVEN_PATTERN_TESTS:-$(pwd)/build/default/tests/test_patterns_corpus}"
# A filter that matches nothing passes too: count the tests that ran and passed.
passed=0
if [ -x "$equality_test" ] && "$equality_test" --gtest_filter='WriteBackBuildCorpusTest.*' >"$scratch/equal.txt" 2>&1; then
  passed=$(grep -c '^\[       OK' "$scratch/equal.txt" || true)
fi
if [ "$passed" -gt 0 ]; then
  equal="equal, byte for byte ($passed test)"
else
  equal="NOT EQUAL or not run: see $equality_test --gtest_filter='WriteBackBuildCorpusTest.*'"
fi
say "stored files: $equal"

say "copying ai-pro/ and tygem-gb/ to $scratch/src"
for name in ai-pro tygem-gb; do
  cp -r "$corpus/$name" "$scratch/src/$name"
  chmod -R u+w "$scratch/src/$name"
done

full_builds aipro "$scratch/src/ai-pro"
rm -rf "$scratch/aipro"
full_builds gb2k "$scratch/src/tygem-gb"
base_name="2,000"
base_work="$scratch/gb2k"

if [ "$quick" = 0 ]; then
  say "unpacking tygem-gb-40k.tar.xz"
  mkdir -p "$scratch/src/40k"
  tar -xJf "$corpus/tygem-gb-40k.tar.xz" -C "$scratch/src/40k"
  rm -rf "$scratch/gb2k"
  full_builds gb40k "$scratch/src/40k" "$(( runs < 2 ? runs : 2 ))"
  base_name="40,194"
  base_work="$scratch/gb40k"
  # Per-game cost at 40k against 2,000 games, run by run.
  paste "$values/gb40k.ms_per_game" "$values/gb2k.ms_per_game" | awk '{ printf "%.2f\n", $1 / $2 }' >"$values/growth"
fi

disk_figures "$base_work"
hint_figures "$base_work"

if [ "$quick" = 0 ]; then
  rm -rf "$scratch/gb40k"
  # A base of all but the last 1,000 record files (byte order of their paths), then the build
  # that adds those 1,000; every run starts again from a copy of the 39,194-game base's files.
  say "building the base of all but 1,000 games"
  prepare "$scratch/src/40k" "$scratch/add"
  mkdir -p "$scratch/new"
  (cd "$scratch/add/records" && find . -type f | LC_ALL=C sort | tail -n 1000 >"$scratch/new.txt" &&
    tr '\n' '\0' <"$scratch/new.txt" | xargs -0 cp -l --parents -t "$scratch/new" &&
    tr '\n' '\0' <"$scratch/new.txt" | xargs -0 rm -f)
  timed_build base39k "$scratch/add"
  cp -a "$scratch/add/home" "$scratch/home39k"
  cp -al "$scratch/new/." "$scratch/add/records/"
  for r in $(seq "$(( runs < 2 ? runs : 2 ))"); do
    rm -rf "$scratch/add/home"
    cp -a "$scratch/home39k" "$scratch/add/home"
    timed_build add1k "$scratch/add"
  done
  full=$(median gb40k.wall)
  awk -v f="$full" '{ printf "%.1f\n", 100 * $1 / f }' "$values/add1k.wall" >"$values/add1k.share"
  rm -rf "$scratch/add" "$scratch/home39k" "$scratch/new"
fi

if [ "$with200k" = 1 ]; then
  say "unpacking tygem-gb-200k.tar.xz"
  mkdir -p "$scratch/src/200k"
  tar -xJf "$corpus/tygem-gb-200k.tar.xz" -C "$scratch/src/200k"
  src200=$(find "$scratch/src/200k" -mindepth 1 -maxdepth 1 -type d | head -n 1)
  full_builds gb200k "$src200" 1
  disk_figures "$scratch/gb200k" disk200
  hint_figures "$scratch/gb200k" hints200
  rm -rf "$scratch/gb200k"
  # A base of every month but the last, then the build that adds the last month.
  last=$(ls "$src200" | LC_ALL=C sort | tail -n 1)
  prepare "$src200" "$scratch/month"
  mv "$scratch/month/records/$last" "$scratch/month.$last"
  timed_build base200k "$scratch/month"
  mv "$scratch/month.$last" "$scratch/month/records/$last"
  timed_build addmonth "$scratch/month"
  keep addmonth.games_added "$(( $(median addmonth.games) - $(median base200k.games) ))"
  awk -v f="$(median gb200k.wall)" '{ printf "%.1f\n", 100 * $1 / f }' "$values/addmonth.wall" >"$values/addmonth.share"
  rm -rf "$scratch/month" "$scratch/src/200k"
fi

if [ "$with320k" = 1 ]; then
  say "writing the 40k corpus under its eight symmetries"
  "$figures" turn "$scratch/src/40k" "$scratch/src/320k" >"$scratch/turn.txt"
  say "$(tr '\n' ' ' <"$scratch/turn.txt")"
  saved_runs=$runs
  runs=1
  full_builds gb320k "$scratch/src/320k"
  runs=$saved_runs
  rm -rf "$scratch/gb320k" "$scratch/src/320k"
fi

skipped() { [ "$1" = 1 ] && echo "$2" || summary "$3" "$4"; }
# A wall time with the CPU time beside it: "wall s (CPU cpu s)".
timed() { [ -s "$values/$1.wall" ] && echo "$(summary "$1.wall" "$2") (CPU $(summary "$1.cpu" 1))" || echo "not run"; }
row() { printf '| %s | %s | %s | %s |\n' "$1" "$2" "$3" "$4"; }
q="not run (--quick)"
w="not run (--with-200k)"
[ "$quick" = 1 ] && skip40=1 || skip40=0
[ "$with200k" = 1 ] && skip200=0 || skip200=1
echo
echo "stored files against the straightforward path, 240 games: $equal"
echo
echo "| figure | before | measured | goal |"
echo "|---|---|---|---|"
row "build of ai-pro/ (7,252 games), wall s" "4.66 (CPU 7.2)" "$(timed aipro 2)" "≤ 1.2"
row "build of ai-pro/, peak MiB" "94" "$(summary aipro.peak 0)" ""
row "build of tygem-gb/ (2,000 games), wall s" "" "$(timed gb2k 2)" "(reference)"
row "build of the 40k corpus, wall s" "30.6 (CPU 47.9)" "$([ $skip40 = 1 ] && echo "$q" || timed gb40k 1)" "≤ 8"
row "peak memory, 40k build, MiB" "305" "$(skipped $skip40 "$q" gb40k.peak 0)" "≤ 200"
row "cost per game at 40,194 / at 2,000" "1.39" "$(skipped $skip40 "$q" growth 2)" ""
row "adding 1,000 games to a built base of 39,194, wall s" "17.6" "$([ $skip40 = 1 ] && echo "$q" || timed add1k 2)" "≤ 1.5"
row "adding 1,000 games, % of a full 40k build" "31" "$(skipped $skip40 "$q" add1k.share 1)" ""
row "disk used by the $base_name base: room files + build warehouses, GB" "0.51 + 1.00" "$(summary disk.rooms_gb 2) + $(summary disk.own_gb 2)" "report"
row "hints per position at $base_name games, median ms" "0.077" "$(summary hints.hints_median_ms 4)" "≤ 0.05"
row "hints per position at $base_name games, p99 ms" "1.03" "$(summary hints.hints_p99_ms 4)" "≤ 0.3"
row "opening the $base_name base for hints, ms" "147" "$(summary hints.open_ms 1)" "≤ 40"
row "opening the $base_name base for hints, MiB resident" "81" "$(summary hints.open_resident_mib 1)" "≤ 48"
row "build of the 198,218 games of tygem-gb-200k, wall s" "failed after 936 s" "$([ $skip200 = 1 ] && echo "$w" || timed gb200k 1)" "≤ 45"
row "build of tygem-gb-200k, peak MiB" "1,211 at the failure" "$(skipped $skip200 "$w" gb200k.peak 0)" "≤ 400"
row "build of tygem-gb-200k, games indexed" "" "$(skipped $skip200 "$w" gb200k.games 0)" "198,218"
row "disk used by the 200k base: room files + build warehouses, GB" "" "$(skipped $skip200 "$w" disk200.rooms_gb 2) + $(skipped $skip200 "$w" disk200.own_gb 2)" "report"
row "adding the last month to the other months of 200k, wall s" "" "$([ $skip200 = 1 ] && echo "$w" || timed addmonth 1)" ""
row "adding the last month, games added" "" "$(skipped $skip200 "$w" addmonth.games_added 0)" ""
row "adding the last month, % of the full 200k build" "" "$(skipped $skip200 "$w" addmonth.share 1)" "≤ 10 %"
row "hints per position at 200k, median / p99 ms" "" "$(skipped $skip200 "$w" hints200.hints_median_ms 4) / $(skipped $skip200 "$w" hints200.hints_p99_ms 4)" ""
row "opening the 200k base for hints, ms / MiB resident" "" "$(skipped $skip200 "$w" hints200.open_ms 1) / $(skipped $skip200 "$w" hints200.open_resident_mib 1)" ""
if [ "$with320k" = 1 ]; then
  row "full build at 320,000 games (8 symmetries), wall s" "" "$(timed gb320k 1)" "completes"
  row "full build at 320,000 games, peak MiB" "" "$(summary gb320k.peak 0)" ""
fi
echo
echo "hints: $(median hints.positions) positions from ai-pro/ games (not in the base), $(median hints.positions_with_global_hints) with global hints, $(median hints.local_hints) local hints in all"
echo "machine: $(nproc) cores; load average $load_before at the start, $(cut -d' ' -f1-3 /proc/loadavg) at the end"
