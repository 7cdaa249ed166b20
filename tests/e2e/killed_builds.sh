#!/usr/bin/env bash
# A build killed (SIGKILL) at any moment, in any phase, never leaves the files rooms read torn,
# and building again afterwards ends with exactly the files of a build that was never stopped.
#   killed_builds.sh MOONHAVEN_CLI CORPUS_DIR [KILLS [BUILD OPTIONS...]]
# Twenty kills by default, at moments drawn with a fixed seed across the length of a whole build.
# Build options go to every build (--volume-mib 1 splits the warehouses into many volumes); the
# uninterrupted build with them must then also equal one without them.
set -euo pipefail
cli="$1"
corpus="$2"
kills="${3:-20}"
shift $(( $# < 3 ? $# : 3 ))
options=("$@")
scratch="$(mktemp -d /tmp/moonhaven-kill-test-XXXXXX)"
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# 240 records of two collections; each build gets its own copy (a build deletes duplicates).
sample="$scratch/sample"
mkdir -p "$sample"
n=0
{ find "$corpus/ai-pro" -type f | LC_ALL=C sort | sed -n 1,160p
  find "$corpus/tygem-gb" -type f | LC_ALL=C sort | sed -n 1,80p; } |
  while IFS= read -r f; do
    n=$((n + 1))
    case "$f" in *.gib | *.GIB) ext=gib ;; *) ext=sgf ;; esac
    cp "$f" "$sample/$(printf %04d "$n").$ext"
  done
chmod -R u+w "$sample"

# A home with its own collection: new_home NAME prints the home's path.
new_home() {
  local home="$scratch/$1"
  mkdir -p "$home"
  cp -r "$sample" "$home/records"
  printf '[WPBS]\r\nTOTAL=1\r\nDEFAULT=0\r\n[WPB_0]\r\nTITLE0=k\r\nTITLE1=k\r\nTITLE2=k\r\nSGFPATH=%s/records/\r\nFILENAME=k\r\n' \
    "$home" >"$home/WPBs.ini"
  echo "$home"
}
room_files="idx wp2 wp2_ lb lb_"
# What a build keeps for the next one beside its warehouses: a run that resumes appends to them in
# place, so they too must end as the uninterrupted build's; so must the key files, whose marks a
# run that resumes takes from the last ones.
kept_files="wp2.aos_ lb.aos_ wp2.aos.idx lb.aos.idx wp2.aos.prints lb.aos.prints wp2.keys lb.keys"

reference=$(new_home reference)
start=$(date +%s%N)
"$cli" build --home "$reference" "${options[@]}" >/dev/null 2>"$scratch/err.txt" ||
  fail "uninterrupted build: $(cat "$scratch/err.txt")"
whole_ms=$(( ($(date +%s%N) - start) / 1000000 ))
for ext in $room_files $kept_files; do [ -s "$reference/k.$ext" ] || fail "reference build wrote no k.$ext"; done
if [ ${#options[@]} -gt 0 ]; then
  plain=$(new_home plain)
  "$cli" build --home "$plain" >/dev/null 2>"$scratch/err.txt" || fail "build without options: $(cat "$scratch/err.txt")"
  for ext in $room_files; do
    cmp -s "$reference/k.$ext" "$plain/k.$ext" || fail "k.$ext with ${options[*]} differs from the build without them"
  done
fi

# Kill moments spread over the whole build and a little beyond, from a fixed seed.
moments=$(awk -v n="$kills" -v ms="$whole_ms" 'BEGIN { srand(11); for (i = 0; i < n; ++i) printf "%d\n", rand() * ms * 1.1 }')
i=0
for moment in $moments; do
  i=$((i + 1))
  home=$(new_home "run$i")
  # A first build finished and a second one in progress is the common case; odd runs start bare.
  if [ $((i % 2)) = 0 ]; then "$cli" build --home "$home" --stop-after 60 "${options[@]}" >/dev/null 2>&1 || true; fi
  "$cli" build --home "$home" "${options[@]}" >/dev/null 2>&1 &
  pid=$!
  sleep "$(awk -v m="$moment" 'BEGIN { printf "%.3f", m / 1000 }')"
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  # Whatever the moment, a room can open the pattern base that is there (or finds none).
  if [ -s "$home/k.wp2_" ]; then
    "$cli" hints --home "$home" --empty >/dev/null 2>"$scratch/err.txt" ||
      fail "run $i (killed at $moment ms): hints on the files left: $(cat "$scratch/err.txt")"
  fi
  "$cli" build --home "$home" "${options[@]}" >/dev/null 2>"$scratch/err.txt" ||
    fail "run $i (killed at $moment ms): the next build failed: $(cat "$scratch/err.txt")"
  for ext in $room_files $kept_files; do
    cmp -s "$reference/k.$ext" "$home/k.$ext" || fail "run $i (killed at $moment ms): k.$ext differs from the uninterrupted build"
  done
  rm -rf "$home"
done
echo "ok: $kills builds killed within ${whole_ms} ms builds, each finished equal to the uninterrupted one"
