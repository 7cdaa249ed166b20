#!/usr/bin/env bash
# Makes the README's pictures of the main window and the user guide's pictures, in English and in
# Chinese, by driving the desktop program on its own Xvfb screen (lang.ini in a scratch program
# directory chooses the language).
#   README: a game record from the corpus open in room 100 -> docs/main-window-en.png, -zh.png
#   guide:  a pattern base added and built with moonhaven-cli as the guide shows, then a room after
#           a few hinted moves with the hint details window, the pattern-library dialog with its
#           "Add..." dialog, the record library -> docs/help/images/*-en.png, *-zh.png
#
#   bash scripts/readme_screens.sh [RECORD]     (default: a tygem-gb game of the corpus)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/desktop_run.sh
bash scripts/setup.sh default >/dev/null
app=$PWD/build/default/apps/moonhaven
cli=$PWD/build/default/apps/moonhaven-cli
corpus=${MOONHAVEN_CORPUS:-$PWD/../shared/corpus}
record=${1:-$corpus/tygem-gb/25/253550034.sgf}
size=${SIZE:-1280x860}
[ -f "$record" ] || { echo "no record at $record (give one as the argument)"; exit 1; }

make_scratch readme
start_xvfb "$scratch" "$size"

# The interface language of lang.ini for each picture suffix.
languages=("1:en" "10001:zh")
language_file() { printf '[SETTING]\r\nLANG=%s\r\n' "$1" >"$2/lang.ini"; }

# The visible top-level window whose title matches the pattern.
window_named() {
  for _ in $(seq 50); do
    local w
    w=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -n1) && [ -n "$w" ] && { echo "$w"; return; }
    sleep 0.1
  done
  echo "no window named $1" >&2
  return 1
}

# Saves the screen's rectangle WxH+X+Y, made smaller and with fewer colours, as a PNG.
save_part() {
  import -window root "$scratch/screen.png"
  convert "$scratch/screen.png" -crop "$1" +repage ${3:+-resize "$3"} -strip -colors 192 "$2"
  echo "$2 ($(stat -c %s "$2") bytes)"
}

# Where a window lies on the screen: "X Y WIDTH HEIGHT", or as WxH+X+Y.
window_place() {
  xdotool getwindowgeometry --shell "$1" | awk -F= '{ v[$1] = $2 } END { print v["X"], v["Y"], v["WIDTH"], v["HEIGHT"] }'
}
window_rect() {
  local x y w h
  read -r x y w h < <(window_place "$1")
  echo "${w}x${h}+${x}+${y}"
}

# The README: the main window with a record open in room 100.
for pair in "${languages[@]}"; do
  name=${pair#*:}
  home="$scratch/$name"
  mkdir -p "$home"
  language_file "${pair%%:*}" "$home"
  start_moonhaven "$app" "$home" "$record"
  sleep 1
  window=$(xdotool search --onlyvisible --classname moonhaven | head -n1)
  import -window "$window" "docs/main-window-$name.png"
  stop_moonhaven
  echo "docs/main-window-$name.png"
done

# The guide: the user's own pattern base, added and built from the command line.
guide="$scratch/guide"
mkdir -p "$guide/records" docs/help/images
cp -r "$corpus/tygem-gb/." "$guide/records/"
chmod -R u+w "$guide/records"
"$cli" bases add --home "$guide" --title "Pro games 9d" --records "$guide/records" >/dev/null
echo "building the guide's pattern base"
"$cli" build --home "$guide" >/dev/null 2>&1
for pair in "${languages[@]}"; do
  name=${pair#*:}
  language_file "${pair%%:*}" "$guide"
  start_moonhaven "$app" "$guide"
  main=$(xdotool search --onlyvisible --classname moonhaven | head -n1)
  play_hint_moves "$cli" "$guide" 7
  sleep 0.5
  save_part "$(window_rect "$main")" "docs/help/images/room-$name.png" 760x
  # Room > Hint Details... (the menu's second entry), the first hint unfolded to its games by a
  # click on its arrow.
  xdotool key alt+r Down Return
  details=$(window_named 'Hint Details|标记详细信息')
  xdotool mousemove --window "$details" 7 29 click 1
  sleep 0.5
  save_part "$(window_rect "$details" | sed 's/x360/x240/')" "docs/help/images/hint-details-$name.png"
  # Out of the way of the next pictures (without a window manager nothing closes it).
  xdotool windowmove "$details" 3000 3000
  # Game > Pattern Library Management..., then its "Add..." (the second control in its tab order).
  xdotool windowfocus --sync "$main" key alt+g m
  manager=$(window_named 'Pattern Library Management|全局模式库管理')
  xdotool windowfocus --sync "$manager" key Tab space
  sleep 1
  xdotool type --delay 40 "My games"
  xdotool key Tab
  xdotool type --delay 20 "/home/player/go/records"
  sleep 0.5
  picture="docs/help/images/pattern-bases-$name.png"
  save_part "$(window_rect "$manager")" "$picture"
  # Without a window manager the Add dialog has no frame: outline it.
  read -r mx my _ _ < <(window_place "$manager")
  read -r ax ay aw ah < <(window_place "$(window_named 'Add Pattern Base|添加模式库')")
  mogrify -fill none -stroke '#808080' -draw "rectangle $((ax - mx)),$((ay - my)) $((ax - mx + aw - 1)),$((ay - my + ah - 1))" "$picture"
  xdotool key Escape
  sleep 0.3
  xdotool windowfocus --sync "$manager" key Escape
  # File > Open from Record Library... (Ctrl+D).
  xdotool windowfocus --sync "$main" key ctrl+d
  library=$(window_named 'Record Library|棋谱库管理')
  sleep 1
  save_part "$(window_rect "$library" | sed 's/x520/x300/')" "docs/help/images/record-library-$name.png"
  stop_moonhaven
done
