#!/usr/bin/env bash
# Installs the Debian package into a fresh Debian 12 root and uses it there as a new user would:
#   1. debootstrap --variant=minbase bookworm into a folder under /tmp;
#   2. apt-get install ./moonhaven_*.deb inside it (its dependencies come from Debian's archive);
#   3. as a new user "player": moonhaven-cli --version, a pattern base added with
#      `moonhaven-cli bases add` on 40 corpus records, built with `moonhaven-cli build`, and its
#      hints; then the desktop program under Xvfb until its window shows, its picture saved.
#
#   bash scripts/test_package.sh [PACKAGE.deb] [--keep] [--root DIR]
#
# Without a package it makes one with scripts/package.sh. Needs root, debootstrap and Debian's
# archive: the mirrors this machine's apt uses for bookworm, or MOONHAVEN_DEBIAN_MIRROR (a
# mirror of "debian"; security updates then come from its "debian-security" sibling).
# The window's picture is left in build/default/packages/package-test-window.png. --keep leaves
# the root folder for a look; it is otherwise removed (after its mounts are undone). --root DIR
# uses a root a --keep run left, without a new debootstrap (and keeps it).
set -euo pipefail
cd "$(dirname "$0")/.."
repo="$(pwd)"
corpus="${MOONHAVEN_CORPUS:-$repo/../shared/corpus}"
deb=""
keep=""
root=""
while [ $# -gt 0 ]; do
  case "$1" in
    --keep) keep=1 ;;
    --root) root="$2"; keep=1; shift ;;
    *) deb="$1" ;;
  esac
  shift
done
fail() { echo "FAIL: $*" >&2; exit 1; }
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND" >&2' ERR
[ "$(id -u)" -eq 0 ] || fail "run as root (debootstrap and chroot need it)"
command -v debootstrap >/dev/null || fail "no debootstrap (scripts/setup.sh installs it)"
start=$SECONDS
step() { echo "test_package: $* ($((SECONDS - start)) s)"; }

if [ -z "$deb" ]; then
  step "making the package"
  deb="$(bash scripts/package.sh | tail -n 1)"
fi
[ -f "$deb" ] || fail "no package $deb"
deb="$(cd "$(dirname "$deb")" && pwd)/$(basename "$deb")"

reuse="$root"
[ -n "$root" ] || root="$(mktemp -d /tmp/moonhaven-debian-root-XXXXXX)"
chmod 755 "$root"  # the root of a system: every user must reach into it
undo_mounts() {
  for m in dev/pts dev proc sys; do
    if mountpoint -q "$root/$m"; then umount -l "$root/$m"; fi
  done
}
cleanup() {
  undo_mounts
  rm -f "$root.sources"
  if [ -z "$keep" ]; then
    # Never remove a root that still has a mount inside it.
    if findmnt -rn -o TARGET | grep -q "^$root/"; then
      echo "test_package: $root still has mounts; left in place" >&2
    else
      rm -rf "$root"
    fi
  else
    echo "test_package: kept $root"
  fi
}
trap cleanup EXIT

# The new root's apt sources: Debian's suites for bookworm, from the mirrors this machine uses.
sources() {
  if [ -n "${MOONHAVEN_DEBIAN_MIRROR:-}" ]; then
    printf 'deb %s %s main\n' "$MOONHAVEN_DEBIAN_MIRROR" bookworm "$MOONHAVEN_DEBIAN_MIRROR" bookworm-updates \
      "${MOONHAVEN_DEBIAN_MIRROR%/debian}/debian-security" bookworm-security
  else
    apt-get indextargets --format '$(SITE) $(RELEASE) $(COMPONENT)' |
      awk '$2 ~ /^bookworm(-updates|-security)?$/ && $3 == "main" { print "deb " $1 " " $2 " main" }' | sort -u
  fi
}
sources >"$root.sources"
mirror="$(awk '$3 == "bookworm" { print $2; exit }' "$root.sources")"
[ -n "$mirror" ] || fail "no Debian bookworm mirror: set MOONHAVEN_DEBIAN_MIRROR"
if [ -z "$reuse" ]; then
  step "debootstrap into $root"
  debootstrap --variant=minbase bookworm "$root" "$mirror" >"$root.debootstrap.log" 2>&1 ||
    fail "debootstrap: $(tail -5 "$root.debootstrap.log")"
  rm -f "$root.debootstrap.log"
fi
mv "$root.sources" "$root/etc/apt/sources.list"
cp /etc/resolv.conf "$root/etc/resolv.conf"
# Packages installed in the root must not start services.
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod +x "$root/usr/sbin/policy-rc.d"
install -d -m 1777 "$root/tmp/.X11-unix"
mount -t proc proc "$root/proc"
mount -t sysfs sysfs "$root/sys"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
in_root() { chroot "$root" env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 "$@"; }

step "apt-get install ./$(basename "$deb")"
cp "$deb" "$root/tmp/"
in_root apt-get update -qq
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "/tmp/$(basename "$deb")" >"$root/tmp/install.log" 2>&1 ||
  fail "apt-get install: $(tail -20 "$root/tmp/install.log")"
# Only for this test: a virtual screen to show the window on.
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends xvfb xauth >/dev/null 2>&1 ||
  fail "installing xvfb"
in_root dpkg -s gnugo >/dev/null 2>&1 || fail "gnugo, recommended, was not installed with the package"

step "using it as a new user"
# A new user with an empty home (a reused root's user starts over).
in_root userdel --remove player >/dev/null 2>&1 || true
in_root useradd --create-home --shell /bin/bash player
mkdir -p "$root/home/player/records"
mapfile -t records < <(find "$corpus/tygem-gb" -type f -name '*.sgf' | LC_ALL=C sort)
[ ${#records[@]} -ge 40 ] || fail "fewer than 40 records in $corpus/tygem-gb"
cp "${records[@]:0:40}" "$root/home/player/records/"
in_root chown -R player:player /home/player/records
as_player() { chroot --userspec=player:player "$root" env -i HOME=/home/player USER=player \
  PATH=/usr/local/bin:/usr/bin:/bin:/usr/games LANG=C.UTF-8 "$@"; }
cat >"$root/tmp/use.sh" <<'USE'
set -eu
cd "$HOME"
moonhaven-cli --version
moonhaven-cli paths
moonhaven-cli bases add --title "Tygem games" --records "$HOME/records"
moonhaven-cli build
moonhaven-cli bases list
moonhaven-cli hints --empty | head -n 3
MOONHAVEN_SMOKE_TEST=1 MOONHAVEN_SMOKE_TEST_MS=1500 MOONHAVEN_SCREENSHOT=/tmp/window.png \
  xvfb-run -a -s "-screen 0 1280x900x24" moonhaven
USE
as_player sh /tmp/use.sh >"$root/tmp/use.log" 2>"$root/tmp/use-err.log" || fail "$(cat "$root/tmp/use.log" "$root/tmp/use-err.log")"
cat "$root/tmp/use.log"
grep -q '^moonhaven-cli 2\.2' "$root/tmp/use.log" || fail "moonhaven-cli --version"
grep -qx 'program directory: /home/player/.local/share/moonhaven/' "$root/tmp/use.log" || fail "program directory"
grep -qx 'board module: /usr/share/moonhaven/board/' "$root/tmp/use.log" || fail "board module"
grep -Eq '^global A [a-s]{2} ' "$root/tmp/use.log" || fail "no hints from the pattern base"
grep -q '^shown: ' "$root/tmp/use.log" || fail "the window did not show"
[ -s "$root/home/player/.local/share/moonhaven/tygem-games.wp2" ] || fail "no pattern base in the user's data folder"
mkdir -p "$repo/build/default/packages"
cp "$root/tmp/window.png" "$repo/build/default/packages/package-test-window.png" 2>/dev/null || true
step "ok: the package installs and runs on a fresh Debian 12"
