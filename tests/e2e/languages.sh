#!/usr/bin/env bash
# Starts the real desktop program in each interface language, chosen by lang.ini in a fresh
# program directory (none: English), and checks the room's title in that language and that no
# text of the shown window is one no font can draw.
#   languages.sh PROGRAM SCRATCH_DIR
set -euo pipefail
program="$1"
scratch="$2"
rm -rf "$scratch"
mkdir -p "$scratch"
fail() { echo "FAIL: $*" >&2; exit 1; }

# LANG value ("none": no lang.ini) and a text the first room's title shows in that language.
cases=(
  "none|Room 100( Untitled -- No game information -- Move:0 )"
  "1|Room 100( Untitled"
  "10001|100棋室( 无名文件 -- 无比赛信息 -- 手数:0 )"
  "10002|100棋室( 未命名檔案 -- 無比賽資訊 -- 手數:0 )"
  "10003|Room 100("
)
for c in "${cases[@]}"; do
  lang="${c%%|*}"
  want="${c#*|}"
  home="$scratch/$lang"
  mkdir -p "$home"
  [ "$lang" = none ] || printf '[SETTING]\nLANG=%s\n' "$lang" >"$home/lang.ini"
  MOONHAVEN_HOME="$home" QT_QPA_PLATFORM=offscreen MOONHAVEN_SMOKE_TEST=1 MOONHAVEN_SMOKE_TEST_MS=1500 \
    MOONHAVEN_GLYPH_REPORT="$home/glyphs.txt" MOONHAVEN_SCREENSHOT="$home/main.png" \
    timeout 60 "$program" >"$home/out.txt" 2>"$home/err.txt" || fail "LANG=$lang: the program failed: $(cat "$home/err.txt")"
  grep -qF "$want" "$home/out.txt" || fail "LANG=$lang: expected \"$want\" in: $(cat "$home/out.txt")"
  grep -q '^checked ' "$home/glyphs.txt" || fail "LANG=$lang: no window was checked for undrawable texts"
  ! grep '^undrawable ' "$home/glyphs.txt" || fail "LANG=$lang: texts with characters no font draws"
done
echo "ok: $(for c in "${cases[@]}"; do printf '%s ' "${c%%|*}"; done)"
