#!/usr/bin/env bash
# The desktop's figures: painting a full board, a room's whole refresh with the 40k-game pattern
# base, and the window thread's latency with GNU Go playing in three rooms. Prints each figure's
# line (with the CPU time it took) and the machine's load; figures are reported, never judged.
#
#   bench/room_figures.sh [--home DIR] [--seconds S] [--realtime]
#
# --home names a program directory whose default pattern base is the 40k corpus (as
# build_pattern_base.sh 40k --keep leaves it: DIR/home with the records beside it in DIR/records).
# Without it the base is built first in a scratch folder under /tmp, removed at the end.
# On a busy machine wall times include the time other processes took the CPU (the thread CPU time
# beside them does not); --realtime runs the painting and the refresh under `chrt -f 20` (as root)
# so that nothing else preempts them. The latency figure always runs at normal priority.
set -euo pipefail
cd "$(dirname "$0")/.."
figures="$(pwd)/build/default/bench/moonhaven_room_figures"
[ -x "$figures" ] || { echo "no $figures (build the default preset first)" >&2; exit 1; }
home=""
seconds=60
realtime=()
while [ $# -gt 0 ]; do
  case "$1" in
    --home) home="$2"; shift 2 ;;
    --seconds) seconds="$2"; shift 2 ;;
    --realtime) realtime=(chrt -f 20); shift ;;
    -h|--help) sed -n '2,14p' "$0"; exit 0 ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
done
built=""
if [ -z "$home" ]; then
  built=$(bash bench/build_pattern_base.sh 40k --keep | tee /dev/stderr | sed -n 's/^kept //p')
  home="$built/home"
fi
trap '[ -n "$built" ] && rm -rf "$built"' EXIT
records=$(sed -n 's/^SGFPATH=//p' "$home/WPBs.ini" | tr -d '\r')

echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
"${realtime[@]}" "$figures" paint --runs 300 2>/dev/null
"${realtime[@]}" "$figures" refresh --home "$home" --records "$records" --games 100 --moves 120 2>/dev/null | grep -v '^pattern base'
"$figures" latency --seconds "$seconds" --rooms 3 --level 1 2>/dev/null
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
