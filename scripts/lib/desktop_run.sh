# Sourced by the scripts that drive the desktop program under Xvfb (the README's and the guide's
# pictures).
source "$(dirname "${BASH_SOURCE[0]}")/board_pixels.sh"

#   make_scratch NAME
# makes a scratch folder ($scratch) and, on exit, stops the program ($pid) and Xvfb ($xvfb) and
# removes the folder.
make_scratch() {
  scratch=$(mktemp -d "/tmp/moonhaven-$1-XXXXXX")
  trap cleanup_scratch EXIT
}
cleanup_scratch() {
  [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null
  wait 2>/dev/null || true
  rm -rf "$scratch"
}

#   start_xvfb SCRATCH SIZE
# starts Xvfb on a free display of SIZE (e.g. 1280x860) and exports DISPLAY; $xvfb is its pid.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 "$2x24" -nolisten tcp 3>"$1/display" >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 50); do [ -s "$1/display" ] && break; sleep 0.1; done
  export DISPLAY=:$(head -n1 "$1/display")
}

#   wait_until LIMIT COMMAND...
# runs the command every tenth of a second until it succeeds (status 0) or LIMIT seconds have
# passed (status 1). The limits are generous: a busy machine can take many seconds to show a
# window, and a sound run goes on as soon as the condition holds.
wait_until() {
  local limit=$1
  shift
  local end=$((SECONDS + limit))
  until "$@"; do
    [ "$SECONDS" -ge "$end" ] && return 1
    sleep 0.1
  done
}

#   start_moonhaven APP HOME [ARGS...]
# starts the desktop program with HOME as its program directory and waits until it reports its
# board (or ends); $pid is the program, and "bx by bw bh" (the board view's place and size on the
# screen) are set.
start_moonhaven() {
  local app=$1 home=$2
  shift 2
  (cd "$home" && MOONHAVEN_HOME="$home" MOONHAVEN_REPORT_BOARD=1500 exec "$app" "$@") >"$home/out.txt" 2>&1 &
  pid=$!
  wait_until 90 board_reported_or_gone "$home/out.txt" "$pid" || true
  grep -q '^board ' "$home/out.txt" || { echo "the program did not come up:"; cat "$home/out.txt"; return 1; }
  read -r _ bx by bw bh < <(grep '^board ' "$home/out.txt")
}

#   board_reported_or_gone LOG PID
# whether the program's log holds its board report, or the program has ended.
board_reported_or_gone() { grep -qs '^board ' "$1" || ! kill -0 "$2" 2>/dev/null; }

#   stop_moonhaven
stop_moonhaven() {
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  pid=
}

#   play_hint_moves CLI HOME MOVES
# plays MOVES moves in the program's first room by clicking the hint "A" of each position (the
# move most often played there in the default pattern base of HOME), as the command line's hints
# name it; stops early at a position without one.
play_hint_moves() {
  local cli=$1 home=$2 moves=$3 sgf="(;SZ[19]" hint point column row px py i
  local colours=(B W)
  for ((i = 0; i < moves; i++)); do
    printf '%s)' "$sgf" >"$home/game.sgf"
    if [ "$i" -eq 0 ]; then hint=$("$cli" hints --home "$home" --empty); else hint=$("$cli" hints --home "$home" "$home/game.sgf"); fi
    point=$(awk '$1 == "global" && $2 == "A" { print $3; exit }' <<<"$hint")
    [ -n "$point" ] || { echo "no hint A after $i moves"; break; }
    column=$(( $(printf '%d' "'${point:0:1}") - 97 ))
    row=$(( $(printf '%d' "'${point:1:1}") - 97 ))
    read -r px py < <(board_point_pixel "$bw" "$bh" "$column" "$row")
    xdotool mousemove $((bx + px)) $((by + py)) click 1
    sleep 0.8
    sgf="$sgf;${colours[i % 2]}[$point]"
  done
  rm -f "$home/game.sgf"
}
