#!/usr/bin/env bash
# Runs every figure of the pattern-base targets on the corpora and prints one table: figure,
# measured (the median of the runs, with their spread min–max) and target.
#
#   bench/figures.sh [--runs N] [--quick] [--with-320k]
#
# --runs N      runs of each figure (default 3); the 320,000-game build runs once
# --quick       only the figures of ai-pro/ (7,259 games) and tygem-gb/ (2,000 games): opening the
#               base and the hints are then measured on the 2,000-game base
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
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs="$2"; shift 2 ;;
    --quick) quick=1; shift ;;
    --with-320k) with320k=1; shift ;;
    -h|--help) sed -n '2,17p' "$0"; exit 0 ;;
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
  games=$(awk '/^index / { print $2 }' "$2/out.txt")
  keep "$1.wall" "$wall"
  keep "$1.peak" "$peak"
  keep "$1.games" "$games"
  keep "$1.rate" "$(awk -v g="$games" -v w="$wall" 'BEGIN { printf "%.1f", g / w }')"
  keep "$1.ms_per_game" "$(awk -v g="$games" -v w="$wall" 'BEGIN { printf "%.4f", 1000 * w / g }')"
  say "$1: $games games, $wall s, peak $peak MiB"
}

# Full builds of SOURCE, RUNS times, each on a fresh copy; the last run's work folder stays.
full_builds() {  # full_builds NAME SOURCE
  local r
  for r in $(seq "$runs"); do
    prepare "$2" "$scratch/$1"
    timed_build "$1" "$scratch/$1"
  done
}

# Opening the base of WORK for hints and the hints of positions from ai-pro games, RUNS times.
hint_figures() {  # hint_figures WORK
  local r
  for r in $(seq "$runs"); do
    "$figures" hints "$1/home/bench" "$scratch/src/ai-pro" >"$scratch/hints.txt"
    while read -r name value; do keep "hints.$name" "$value"; done <"$scratch/hints.txt"
  done
  say "hints: $(tr '\n' ' ' <"$scratch/hints.txt")"
}

# Bytes per game of the files rooms read and of the build's own files, for the base of WORK.
disk_figures() {  # disk_figures WORK
  local games rooms own
  games=$(median "$(basename "$1").games")
  rooms=$(cd "$1/home" && cat bench.idx bench.wp2 bench.wp2_ bench.lb bench.lb_ | wc -c)
  own=$(cd "$1/home" && cat bench.wp2.aos bench.wp2.aos_ bench.wp2.aos.idx bench.lb.aos bench.lb.aos_ bench.lb.aos.idx | wc -c)
  keep disk.rooms "$(awk -v b="$rooms" -v g="$games" 'BEGIN { printf "%.0f", b / g }')"
  keep disk.own "$(awk -v b="$own" -v g="$games" 'BEGIN { printf "%.0f", b / g }')"
  keep disk.ratio "$(awk -v a="$own" -v b="$rooms" 'BEGIN { printf "%.2f", a / b }')"
}

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
  full_builds gb40k "$scratch/src/40k"
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
  for r in $(seq "$runs"); do
    rm -rf "$scratch/add/home"
    cp -a "$scratch/home39k" "$scratch/add/home"
    timed_build add1k "$scratch/add"
  done
  full=$(median gb40k.wall)
  awk -v f="$full" '{ printf "%.1f\n", 100 * $1 / f }' "$values/add1k.wall" >"$values/add1k.share"
  rm -rf "$scratch/add" "$scratch/home39k" "$scratch/new"
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
row() { printf '| %s | %s | %s |\n' "$1" "$2" "$3"; }
q="not run (--quick)"
echo
echo "| figure | measured | target |"
echo "|---|---|---|"
row "full build of ai-pro/, wall s" "$(summary aipro.wall 2)" "≤ 2.0"
row "full build of ai-pro/, games/s" "$(summary aipro.rate 0)" "≥ 3,600"
row "full build of ai-pro/, peak MiB" "$(summary aipro.peak 0)" "≤ 140"
row "full build of tygem-gb/ (2,000), wall s" "$(summary gb2k.wall 2)" "(reference for the cost per game)"
row "full build of the 40k corpus, wall s" "$(skipped $quick "$q" gb40k.wall 2)" "≤ 12"
row "full build of the 40k corpus, peak MiB" "$(skipped $quick "$q" gb40k.peak 0)" "≤ 256"
row "cost per game at 40,194 / at 2,000" "$(skipped $quick "$q" growth 2)" "≤ 1.3"
if [ "$with320k" = 1 ]; then
  row "full build at 320,000 games (8 symmetries), wall s" "$(summary gb320k.wall 1)" "completes"
  row "full build at 320,000 games, peak MiB" "$(summary gb320k.peak 0)" "≤ 512"
  row "full build at 320,000 games, games indexed" "$(summary gb320k.games 0)" "all of them"
else
  row "full build at 320,000 games, peak MiB" "not run (--with-320k)" "≤ 512, completing"
fi
row "hints per position at $base_name games, median ms" "$(summary hints.hints_median_ms 4)" "≤ 0.1"
row "hints per position at $base_name games, p99 ms" "$(summary hints.hints_p99_ms 4)" "≤ 0.5"
row "opening the base for hints at $base_name games, ms" "$(summary hints.open_ms 1)" "≤ 100"
row "opening the base for hints at $base_name games, MiB resident" "$(summary hints.open_resident_mib 1)" "≤ 64"
row "adding 1,000 games to a base of 39,194, wall s" "$(skipped $quick "$q" add1k.wall 2)" ""
row "adding 1,000 games, % of the full 40k build" "$(skipped $quick "$q" add1k.share 1)" "≤ 20 %"
row "disk at $base_name games: idx, wp2, wp2_, lb, lb_ bytes/game" "$(summary disk.rooms 0)" "≤ 10,240"
row "disk at $base_name games: .aos, .aos_, .aos.idx bytes/game" "$(summary disk.own 0)" ""
row "disk at $base_name games: .aos, .aos_, .aos.idx / idx, wp2, wp2_, lb, lb_" "$(summary disk.ratio 2)" "≤ 2"
echo
echo "hints: $(median hints.positions) positions from ai-pro/ games (not in the base), $(median hints.positions_with_global_hints) with global hints, $(median hints.local_hints) local hints in all"
echo "machine: $(nproc) cores; load average $load_before at the start, $(cut -d' ' -f1-3 /proc/loadavg) at the end"
