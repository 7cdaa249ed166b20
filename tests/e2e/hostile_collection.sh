#!/usr/bin/env bash
# moonhaven-cli build, games and show on a collection that fights back: names that are not UTF-8,
# an unreadable file and folder, a pipe, a link loop, a dangling link, a record of 100,000 moves.
# Every command must end (each is given a time limit) and report, never crash.
#   hostile_collection.sh MOONHAVEN_CLI
set -euo pipefail
cli="$1"
scratch="$(mktemp -d /tmp/moonhaven-hostile-XXXXXX)"
trap 'chmod -R u+rwx "$scratch" 2>/dev/null; rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
limit() { timeout -k 5 120 "$@"; }

home="$scratch/home"
records="$home/records"
mkdir -p "$records/sub"
printf '(;GN[a]PB[\xba\xda]PW[w]RE[B+R];B[dd];W[pp];B[dp])' >"$records/a.sgf"
printf '(;GN[b]PB[b]PW[w];B[cc];W[qq])' >"$records/"$'\xff\xfe'".sgf"
mkdir "$records/"$'\xfe\xff dir'
printf '(;GN[c]PB[c]PW[w];B[ee])' >"$records/"$'\xfe\xff dir'"/c.SGF"
printf '\\[GAMENAME=g\\]\n\\HE\nSTO 0 1 1 3 3\nSTO 0 2 2 15 15\n' >"$records/sub/d.gib"
printf '(;B[aa]' >"$records/broken.sgf"
mkfifo "$records/pipe.sgf"
ln -s "$records/sub" "$records/sub/loop"
ln -s "$records/missing.sgf" "$records/dangling.sgf"
printf '(;GN[locked];B[aa])' >"$records/locked.sgf"
mkdir "$records/locked dir"
printf '(;GN[hidden];B[bb])' >"$records/locked dir/e.sgf"
chmod 000 "$records/locked.sgf" "$records/locked dir"
# 100,000 moves: Black and White over the points in turn, every seventh a pass.
awk 'BEGIN { l = "abcdefghijklmnopqrs"; printf "(;GN[long]SZ[19]PB[p]PW[q]";
  for (i = 0; i < 100000; i++) { p = (i * 5) % 361; c = (i % 2 == 0) ? "B" : "W";
    if (i % 7 == 6) printf ";%s[]", c;
    else printf ";%s[%s%s]", c, substr(l, p % 19 + 1, 1), substr(l, int(p / 19) + 1, 1) }
  print ")" }' >"$records/long.sgf"
printf '[WPBS]\r\nTOTAL=1\r\nDEFAULT=0\r\n[WPB_0]\r\nTITLE0=H\r\nTITLE1=H\r\nTITLE2=H\r\nSGFPATH=records\r\nFILENAME=h\r\n' \
  >"$home/WPBs.ini"
expected=5  # a, the two odd names, d.gib, long; the locked ones too when run as root
[ "$(id -u)" = 0 ] && expected=7

cd "$scratch"
limit "$cli" build --home "$home" >build.txt 2>build.err || fail "build: $(cat build.err)"
grep -qx "index $expected" build.txt || fail "build indexed: $(cat build.txt)"
for ext in idx wp2 wp2_ lb lb_; do [ -s "$home/h.$ext" ] || fail "no h.$ext"; done

limit "$cli" games --home "$home" >games.txt || fail "games failed"
[ "$(wc -l <games.txt)" = "$expected" ] || fail "games: $(cat games.txt)"
iconv -f UTF-8 -t UTF-8 games.txt >/dev/null || fail "games output is not UTF-8"
awk -F'\t' 'NF != 9 { exit 1 }' games.txt || fail "a games line without nine fields"
LC_ALL=C grep -Eq $'\t[\x80-\xff]+\\.sgf$' games.txt || fail "the odd name is not shown: $(cat games.txt)"
LC_ALL=C grep -Eq $'\t[\x80-\xff]+ dir/c\\.SGF$' games.txt || fail "the odd folder is not shown: $(cat games.txt)"
grep -q $'\tlong.sgf$' games.txt || fail "the long record is not indexed"

limit "$cli" show "$records/"$'\xff\xfe'".sgf" >show.txt || fail "show of an odd name failed"
grep -q 'position 2 of 2' show.txt || fail "show: $(cat show.txt)"
limit "$cli" show "$records/long.sgf" --move 50 >long.txt || fail "show of the long record failed"
grep -q 'position 50 of' long.txt || fail "show long: $(cat long.txt)"
for bad in pipe.sgf broken.sgf dangling.sgf missing.gib sub; do
  set +e
  limit "$cli" show "$records/$bad" >/dev/null 2>bad.err
  status=$?
  set -e
  [ "$status" = 1 ] || fail "show $bad should fail with 1, not $status: $(cat bad.err)"
done
echo "ok: $expected games"
