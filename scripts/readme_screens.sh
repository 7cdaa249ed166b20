#!/usr/bin/env bash
# Makes the README's pictures of the main window in English and in Chinese: starts the desktop
# program on its own Xvfb screen once per language (lang.ini in a scratch program directory), with
# a game record from the corpus open in room 100, and saves the screen to
# docs/main-window-en.png and docs/main-window-zh.png.
#
#   bash scripts/readme_screens.sh [RECORD]     (default: a tygem-gb game of the corpus)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh default >/dev/null
app=$PWD/build/default/apps/moonhaven
corpus=${MOONHAVEN_CORPUS:-$PWD/../shared/corpus}
record=${1:-$corpus/tygem-gb/25/253550034.sgf}
size=${SIZE:-1280x860}
[ -f "$record" ] || { echo "no record at $record (give one as the argument)"; exit 1; }

scratch=$(mktemp -d /tmp/moonhaven-readme-XXXXXX)
cleanup() {
  [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null
  wait 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$scratch/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do [ -s "$scratch/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n1 "$scratch/display")

# One start per language: the LANG value of lang.ini and the picture's name.
for pair in "1:en" "10001:zh"; do
  lang=${pair%%:*}
  name=${pair#*:}
  home="$scratch/$name"
  mkdir -p "$home"
  printf '[SETTING]\r\nLANG=%s\r\n' "$lang" >"$home/lang.ini"
  (cd "$home" && MOONHAVEN_HOME="$home" MOONHAVEN_REPORT_BOARD=1500 exec "$app" "$record") >"$home/out.txt" 2>&1 &
  pid=$!
  for _ in $(seq 150); do grep -q '^board ' "$home/out.txt" && break; sleep 0.1; done
  grep -q '^board ' "$home/out.txt" || { echo "the program did not come up:"; cat "$home/out.txt"; exit 1; }
  sleep 1
  window=$(xdotool search --onlyvisible --classname moonhaven | head -n1)
  import -window "$window" "docs/main-window-$name.png"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  pid=
  echo "docs/main-window-$name.png"
done
