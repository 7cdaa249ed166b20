#!/usr/bin/env bash
# Makes the README's picture of a room with hints: builds a pattern base from the corpus's
# tygem-gb games in a scratch folder, starts the desktop program with it on its own Xvfb screen,
# plays the opening by clicking the hint "A" of each position (the move most often played there),
# and saves the window to docs/room-with-hints.png.
#
#   bash scripts/room_picture.sh [MOVES]     (default 9 moves)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/desktop_run.sh
moves=${1:-9}
bash scripts/setup.sh default >/dev/null
app=$PWD/build/default/apps/moonhaven
cli=$PWD/build/default/apps/moonhaven-cli
corpus=${MOONHAVEN_CORPUS:-$PWD/../shared/corpus}
out=docs/room-with-hints.png

make_scratch picture
mkdir -p "$scratch/records"
cp -r "$corpus/tygem-gb/." "$scratch/records/"
chmod -R u+w "$scratch/records"
printf '[WPBS]\r\nTOTAL=1\r\nDEFAULT=0\r\n[WPB_0]\r\nTITLE0=Tygem\r\nTITLE1=Tygem\r\nTITLE2=Tygem\r\nSGFPATH=%s/records/\r\nFILENAME=tygem\r\n' \
  "$scratch" >"$scratch/WPBs.ini"
echo "building the pattern base"
"$cli" build --home "$scratch" >/dev/null

start_xvfb "$scratch" 1280x900
start_moonhaven "$app" "$scratch"
play_hint_moves "$cli" "$scratch" "$moves"
sleep 1
import -window root "$scratch/screen.png"
mkdir -p docs
convert "$scratch/screen.png" -crop 1100x820+0+0 +repage -resize 880x -strip -colors 256 "$out"
echo "wrote $out ($(stat -c %s "$out") bytes)"
