#!/usr/bin/env bash
# Starts the real desktop program on its own Xvfb screen, clicks the centre point of room 100's
# board, takes a picture of the screen and checks that the pixel at that point's centre is a black
# stone's. The point's pixel comes from the board's layout rule and the board view's client size,
# which the program reports.
#   desktop_click.sh MOONHAVEN [OUT_DIR]
set -u
source "$(dirname "$0")/../../scripts/lib/desktop_run.sh"
program=$1
out=${2:-$(mktemp -d)}
mkdir -p "$out"
shot="$out/desktop_click.png"
for tool in Xvfb xdotool import convert; do
  command -v "$tool" >/dev/null || { echo "missing $tool (scripts/setup.sh installs it)"; exit 1; }
done

exec 3>"$out/display"
Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp >"$out/xvfb.log" 2>&1 &
xvfb=$!
home=$(mktemp -d)
cleanup() {
  [ -n "${app:-}" ] && kill "$app" 2>/dev/null
  kill "$xvfb" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$home"
}
trap cleanup EXIT
wait_until 30 test -s "$out/display"
export DISPLAY=:$(head -n1 "$out/display")

rm -f "$out/program.log"
# A program directory of its own: no pattern base, so no hint letters cover the board.
(cd "$home" && MOONHAVEN_HOME=$home MOONHAVEN_REPORT_BOARD=1500 exec "$program") >"$out/program.log" 2>&1 &
app=$!
wait_until 90 board_reported_or_gone "$out/program.log" "$app"
read -r _ bx by bw bh < <(grep '^board ' "$out/program.log") || { echo "no board reported"; cat "$out/program.log"; exit 1; }

read -r px py < <(board_point_pixel "$bw" "$bh" 9 9)
x=$((bx + px)); y=$((by + py))
echo "board at $bx,$by size ${bw}x${bh}; centre point at $x,$y"

xdotool mousemove "$x" "$y" click 1
stone_shown() {
  import -window root "$shot" || return 1
  gray=$(convert "$shot" -format "%[fx:int(255*p{$x,$y}.intensity)]" info:) || return 1
  [ "$gray" -lt 70 ]
}
gray=none
if wait_until 60 stone_shown; then
  echo "pixel at the centre point: gray $gray (picture: $shot)"
  echo "a black stone lies on the centre point"
  exit 0
fi
echo "pixel at the centre point: gray $gray (picture: $shot)"
echo "FAILED: no black stone at the centre point"
exit 1
