#!/usr/bin/env bash
# Makes the README's picture of a room with hints: builds a pattern base from the corpus's
# tygem-gb games in a scratch folder, starts the desktop program with it on its own Xvfb screen,
# plays the opening by clicking the hint "A" of each position (the move most often played there),
# and saves the window to docs/room-with-hints.png.
#
#   bash scripts/room_picture.sh [MOVES]     (default 9 moves)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/board_pixels.sh
moves=${1:-9}
bash scripts/setup.sh default >/dev/null
app=$PWD/build/default/apps/moonhaven
cli=$PWD/build/default/apps/moonhaven-cli
corpus=${MOONHAVEN_CORPUS:-$PWD/../shared/corpus}
out=docs/room-with-hints.png

scratch=$(mktemp -d /tmp/moonhaven-picture-XXXXXX)
cleanup() {
  [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null
  wait 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
mkdir -p "$scratch/records"
cp -r "$corpus/tygem-gb/." "$scratch/records/"
chmod -R u+w "$scratch/records"
printf '[WPBS]\r\nTOTAL=1\r\nDEFAULT=0\r\n[WPB_0]\r\nTITLE0=Tygem\r\nTITLE1=Tygem\r\nTITLE2=Tygem\r\nSGFPATH=%s/records/\r\nFILENAME=tygem\r\n' \
  "$scratch" >"$scratch/WPBs.ini"
echo "building the pattern base"
"$cli" build --home "$scratch" >/dev/null

Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp 3>"$scratch/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do [ -s "$scratch/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n1 "$scratch/display")
(cd "$scratch" && MOONHAVEN_HOME=$scratch MOONHAVEN_REPORT_BOARD=1500 exec "$app") >"$scratch/app.log" 2>&1 &
pid=$!
for _ in $(seq 100); do grep -q '^board ' "$scratch/app.log" && break; sleep 0.1; done
read -r _ bx by bw bh < <(grep '^board ' "$scratch/app.log")

# The record so far, for the command line's hints of each position.
sgf="(;SZ[19]"
colours=(B W)
for ((i = 0; i < moves; i++)); do
  printf '%s)' "$sgf" >"$scratch/game.sgf"
  if [ "$i" -eq 0 ]; then hint=$("$cli" hints --home "$scratch" --empty); else hint=$("$cli" hints --home "$scratch" "$scratch/game.sgf"); fi
  point=$(awk '$1 == "global" && $2 == "A" { print $3; exit }' <<<"$hint")
  [ -n "$point" ] || { echo "no hint A after $i moves"; break; }
  column=$(( $(printf '%d' "'${point:0:1}") - 97 ))
  row=$(( $(printf '%d' "'${point:1:1}") - 97 ))
  read -r px py < <(board_point_pixel "$bw" "$bh" "$column" "$row")
  xdotool mousemove $((bx + px)) $((by + py)) click 1
  sleep 0.8
  sgf="$sgf;${colours[i % 2]}[$point]"
done
sleep 1
import -window root "$scratch/screen.png"
mkdir -p docs
convert "$scratch/screen.png" -crop 1100x820+0+0 +repage -resize 880x -strip -colors 256 "$out"
echo "wrote $out ($(stat -c %s "$out") bytes)"
