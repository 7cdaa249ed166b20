#!/usr/bin/env bash
# moonhaven-cli build and games on a copy of corpus folders, run as a new user would: a home
# directory with WPBs.ini naming the collection, chosen through MOONHAVEN_HOME or --home.
#   build_and_games.sh MOONHAVEN_CLI CORPUS_DIR
set -euo pipefail
cli="$1"
corpus="$2"
scratch="$(mktemp -d /tmp/moonhaven-cli-test-XXXXXX)"
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

home="$scratch/home dir"
records="$home/records"
mkdir -p "$records/benson"
cp -r "$corpus/ai-pro/AlphaGo Zero" "$records/"
find "$corpus/ai-pro/BensonDarr" -type f | LC_ALL=C sort | sed -n "1,20p" | while IFS= read -r f; do cp "$f" "$records/benson/"; done
chmod -R u+w "$records"
files=$(find "$records" -type f | wc -l)
# A relative SGFPATH is taken from the program's directory.
printf '[WPBS]\r\nTOTAL=1\r\nDEFAULT=0\r\n[WPB_0]\r\nTITLE0=AI\r\nTITLE1=AI\r\nTITLE2=AI\r\nSGFPATH=records\r\nFILENAME=ai\r\n' \
  >"$home/WPBs.ini"

cd "$scratch"
set +e
MOONHAVEN_HOME="$home" "$cli" build --stop-after 10 >out1.txt 2>err1.txt
status=$?
set -e
[ "$status" = 3 ] || fail "a build stopped after 10 games should exit 3, not $status: $(cat err1.txt)"
grep -qx 'index 10' out1.txt || fail "first run: $(cat out1.txt)"
grep -qx 'global [0-9]* entries, 10 games added' out1.txt || fail "first run: $(cat out1.txt)"

"$cli" build --home "$home" >out2.txt 2>err2.txt || fail "second run: $(cat err2.txt)"
[ "$(wc -l <out2.txt)" = 3 ] || fail "second run prints three lines: $(cat out2.txt)"
games=$(awk '/^index /{print $2}' out2.txt)
[ "$games" -gt 90 ] && [ "$games" -le "$files" ] || fail "index holds $games of $files files"
grep -qx "local [0-9]* entries, $((games - 10)) games added" out2.txt || fail "second run: $(cat out2.txt)"
for ext in idx wp2 wp2_ lb lb_; do [ -s "$home/ai.$ext" ] || fail "no ai.$ext"; done

"$cli" games --home "$home" >games.txt || fail "games failed"
[ "$(wc -l <games.txt)" = "$games" ] || fail "games lists $(wc -l <games.txt) lines for $games games"
awk -F'\t' 'NF != 9 { exit 1 }' games.txt || fail "a games line without nine fields"
grep -q $'\tbenson/.* VS .*(0100' games.txt || fail "no UTF-8 file name in the listing"
iconv -f UTF-8 -t UTF-8 games.txt >/dev/null || fail "games output is not UTF-8"

"$cli" games --home "$home" --base 3 2>/dev/null && fail "a missing pattern base must fail"

"$cli" hints --home "$home" --empty >hints.txt || fail "hints failed"
head -n 1 hints.txt | grep -Eq '^global A [a-s]{2} [0-9]+ [0-9]+ [0-9]+ (red|blue)$' || fail "hints: $(head -n 3 hints.txt)"
"$cli" hints --home "$home" --empty --details >details.txt || fail "hints --details failed"
grep -Eq '^  game [0-9]+ move 0 .*\.(sgf|SGF)$' details.txt || fail "hints --details: $(head -n 3 details.txt)"
echo "ok: $games games"
