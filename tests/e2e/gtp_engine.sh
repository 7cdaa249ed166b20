#!/usr/bin/env bash
# moonhaven-engine over GTP: a scripted session compared with its recorded replies, then a whole
# game of the engine against itself (genmove for both sides) until two passes in a row.
#   gtp_engine.sh MOONHAVEN_ENGINE SESSION_TXT SESSION_EXPECTED
set -euo pipefail
engine="$1"
fail() { echo "FAIL: $*" >&2; exit 1; }

diff -u "$3" <(timeout 60 "$engine" --mode gtp --quiet --seed 1 <"$2") || fail "the scripted session differs"

# Noise: random words, vertices, numbers and bytes, 20,000 lines. Every line gets a reply; the
# program ends normally at the end of its input.
awk 'BEGIN { srand(1); split("play genmove undo boardsize komi fixed_handicap set_free_handicap b w A1 T19 Z0 pass -1 99999999999 1e308 nan", w, " ");
  for (i = 0; i < 20000; ++i) { n = int(rand() * 5); line = "";
    for (j = 0; j < n; ++j) line = line (rand() < 0.8 ? w[int(rand() * 17) + 1] : sprintf("%c", int(rand() * 255) + 1)) " ";
    print line } }' | timeout 120 "$engine" --seed 3 >/dev/null || fail "the noise session did not end normally"

coproc GTP { timeout 300 "$engine" --mode gtp --quiet --level 3 --seed 7; }
ask() {
  echo "$1" >&"${GTP[1]}"
  local line reply=""
  while IFS= read -r line <&"${GTP[0]}"; do
    [[ -z "$line" ]] && break
    reply+="$line"
  done
  echo "$reply"
}
[[ "$(ask 'boardsize 9')" == "=" ]] || fail "boardsize"
[[ "$(ask 'komi 7')" == "=" ]] || fail "komi"
passes=0
moves=0
colour=b
while ((passes < 2)); do
  reply="$(ask "genmove $colour")"
  [[ "$reply" =~ ^=\ ([A-HJ-T][1-9]|PASS|pass)$ ]] || fail "genmove $colour answered '$reply'"
  if [[ "${reply,,}" == "= pass" ]]; then passes=$((passes + 1)); else passes=0; fi
  moves=$((moves + 1))
  ((moves < 400)) || fail "no end after 400 moves"
  colour=$([[ $colour == b ]] && echo w || echo b)
done
score="$(ask final_score)"
[[ "$score" =~ ^=\ ([BW]\+[0-9]+(\.[0-9]+)?|0)$ ]] || fail "final_score answered '$score'"
[[ "$(ask quit)" == "=" ]] || fail "quit"
echo "a game of $moves moves, $score"
