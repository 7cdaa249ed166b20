#!/usr/bin/env bash
# moonhaven-cli count on finished corpus games under both rules. The dead stones are those the
# players agreed on: each count gives the margin the record states (in stones under Chinese
# rules, half the points).
#   count_games.sh MOONHAVEN_CLI CORPUS_DIR
set -euo pipefail
cli="$1"
corpus="$2"
fail() { echo "FAIL: $*" >&2; exit 1; }
err="$(mktemp /tmp/moonhaven-count-XXXXXX)"
trap 'rm -f "$err"' EXIT

# expect NAME EXPECTED ARGS...: the output must be EXPECTED exactly.
expect() {
  local name="$1" expected="$2"
  shift 2
  local out
  out="$("$cli" count "$@")" || fail "$name: exit status $?"
  [ "$out" = "$expected" ] || fail "$name: got
$out
expected
$expected"
}

# RE[W+0.50], KM[7.50], Chinese rules.
alphago="$corpus/ai-pro/AlphaGo Zero/Extended Data Figure 1 - AlphaGo Zero 20 block vs AlphaGo Lee/Game_004.sgf"
alphagoDead="da,ra,ng,sl,dp,pq,sr,ns"
expect alphagoChinese "结果:
黑: 184-3.75(贴子)=180.25
白: 177+3.75(贴子)=180.75
白胜  0.25 子
winner w" "$alphago" --rule chinese --komi 3.75 --dead "$alphagoDead"
expect alphagoJapanese "结果:
黑方: 54(空)+28(白子)=82
白方: 41(空)+34(黑子)+7.5(贴目)=82.5
白胜  0.5目
winner w" "$alphago" --rule japanese --komi 7.5 --dead "$alphagoDead"

# RE[B+1.5], KM[6.5], a GB record. Two points of one dead string (pi, pj) mark it once.
tygem="$corpus/tygem-gb/25/252559710.sgf"
tygemDead="ma,bb,lb,ph,pi,pj,ok,pk,qk,ol,li,lj,rl,pm,qm,rm,qn,an"
expect tygemJapanese "结果:
黑方: 54(空)+29(白子)=83
白方: 59(空)+16(黑子)+6.5(贴目)=81.5
黑胜  1.5目
winner b" "$tygem" --rule japanese --komi 6.5 --dead "$tygemDead"
expect tygemChinese "结果:
黑: 181-3.25(贴子)=177.75
白: 172+3.25(贴子)=175.25
黑胜  1.25 子
winner b" "$tygem" --rule chinese --komi 3.25 --dead "$tygemDead"
# At move 150 three black stones have been taken (75 placed, 72 on the board), none of White's.
expect tygemMove150 "结果:
黑方: 0(空)+0(白子)=0
白方: 4(空)+3(黑子)+6.5(贴目)=13.5
白胜  13.5目
winner w" "$tygem" --move 150 --rule japanese --komi 6.5
expect handicap "结果:
黑: 181-0.00(贴子)-2(让子)=179.00
白: 172+0.00(贴子)=172.00
黑胜  3.50 子
winner b" "$tygem" --rule chinese --komi 0 --handicap 3 --dead "$tygemDead"

# A BIG5 record reads with --big5.
"$cli" count "$corpus/tygem-big5/25/253935302.sgf" --big5 --rule japanese --komi 6.5 | grep -qx 'winner [bw]' \
  || fail "big5 record"

# Usage errors and positions that do not exist fail with a message.
for args in "--rule chinese" "--komi 6.5" "--rule korean --komi 6.5" "--rule chinese --komi six" \
  "--rule chinese --komi 6.5 --dead zz" "--rule chinese --komi 6.5 --move 999" "--rule chinese --komi 6.5 --handicap 10"; do
  # shellcheck disable=SC2086
  if "$cli" count "$tygem" $args >/dev/null 2>"$err"; then fail "count $args should fail"; fi
  [ -s "$err" ] || fail "count $args gave no message"
done
echo ok
