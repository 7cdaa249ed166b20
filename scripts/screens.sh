#!/usr/bin/env bash
# Starts the real desktop program on its own Xvfb screen, opens every top-level menu and the
# settings, play, rules and about dialogs from the keyboard, and saves a picture of the screen for
# each under OUT_DIR: main.png, menu-file.png, menu-view.png, menu-game.png, menu-room.png,
# menu-window.png, menu-help.png, settings.png, play.png, rules.png, about.png. Fails when a menu
# or dialog does not come up, or when a text on any of them has characters no font draws.
#
#   scripts/screens.sh BUILD_DIR [OUT_DIR] [LANG]
#
# LANG is written to lang.ini's LANG before the start (10001 Simplified Chinese, 10002
# Traditional Chinese; none: English). OUT_DIR defaults to BUILD_DIR/screens/<en|zh_CN|zh_TW>.
# The program is BUILD_DIR/apps/moonhaven unless MOONHAVEN_PROGRAM names another; SIZE sets the
# screen (default 1280x900).
set -u
source "$(dirname "$0")/lib/desktop_run.sh"
build=$(cd "${1:?usage: screens.sh BUILD_DIR [OUT_DIR] [LANG]}" && pwd)
lang=${3:-}
case "$lang" in
  10001) name=zh_CN ;;
  10002) name=zh_TW ;;
  *) name=en ;;
esac
out=${2:-$build/screens/$name}
program=${MOONHAVEN_PROGRAM:-$build/apps/moonhaven}
size=${SIZE:-1280x900}
for tool in Xvfb xdotool import compare; do
  command -v "$tool" >/dev/null || { echo "missing $tool (scripts/setup.sh installs it)"; exit 1; }
done
mkdir -p "$out"
rm -f "$out/glyphs.txt"

# The access keys of the menus and of the dialogs' items, by interface language: the letters the
# menu titles and items carry ("文件(&F)" ...). One line per screen: FILE KEYS...
screens_for() {
  cat <<KEYS
menu-file alt+f
menu-view alt+v
menu-game alt+g
menu-room alt+r
menu-window alt+w
menu-help alt+h
settings alt+g s
play alt+g y
rules alt+g r
about alt+h a
KEYS
}

scratch=$(mktemp -d /tmp/moonhaven-screens-XXXXXX)
cleanup() {
  [ -n "${app:-}" ] && kill "$app" 2>/dev/null
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT
[ -n "$lang" ] && printf '[SETTING]\r\nLANG=%s\r\n' "$lang" >"$scratch/lang.ini"

Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$scratch/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do [ -s "$scratch/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n1 "$scratch/display")

rm -f "$out/program.log"
(cd "$scratch" && MOONHAVEN_HOME=$scratch MOONHAVEN_GLYPH_REPORT=$out/glyphs.txt MOONHAVEN_REPORT_BOARD=1200 exec "$program") >"$out/program.log" 2>&1 &
app=$!
wait_until 90 board_reported_or_gone "$out/program.log" "$app"
grep -q '^board ' "$out/program.log" || { echo "FAILED: the program did not come up"; cat "$out/program.log"; exit 1; }

# Without a window manager nothing gives the main window the keyboard: give it.
main=$(xdotool search --onlyvisible --classname moonhaven | head -n1)
visible() { xdotool search --onlyvisible --classname moonhaven 2>/dev/null | wc -l; }
focus_main() { xdotool windowfocus --sync "$main" 2>/dev/null; sleep 0.2; }
focus_main
sleep 0.5
import -window root "$out/main.png"

failures=0
while read -r file keys; do
  focus_main
  before=$(visible)
  first=1
  for k in $keys; do
    xdotool key "$k"
    sleep 0.5
    # A menu's items are reached by their letter once the menu is open.
    [ $first = 1 ] && first=0
  done
  sleep 0.7
  import -window root "$out/$file.png"
  now=$(visible)
  if [[ $file == menu-* ]]; then
    # A menu is a window of its own while it is open.
    [ "$now" -gt "$before" ] || { echo "FAILED: $file did not open"; failures=$((failures + 1)); }
  else
    [ "$now" -gt "$before" ] || { echo "FAILED: the $file dialog did not open"; failures=$((failures + 1)); }
  fi
  # Close what was opened: Escape until only the main window is left.
  for _ in 1 2 3; do
    [ "$(visible)" -le 1 ] && break
    xdotool key Escape
    sleep 0.4
  done
  echo "$file: $out/$file.png"
done < <(screens_for "$lang")

kill "$app" 2>/dev/null
# The program checked every window and menu it showed for texts that no font draws (they would
# show as empty boxes): glyphs.txt has a "checked" line for each and no "undrawable" line.
checked=$(grep -c '^checked ' "$out/glyphs.txt" 2>/dev/null || true)
[ "${checked:-0}" -gt 10 ] || { echo "FAILED: only ${checked:-0} windows and menus were checked for undrawable texts"; failures=$((failures + 1)); }
if grep '^undrawable ' "$out/glyphs.txt"; then
  echo "FAILED: texts with characters no font draws (above)"
  failures=$((failures + 1))
fi
[ $failures = 0 ] || exit 1
echo "screens of the $name interface in $out"
