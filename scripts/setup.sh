#!/usr/bin/env bash
# Installs the Debian packages the project needs, and only when one is missing: on a machine that
# has them all, this touches no network. Then configures and builds the given CMake preset.
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(
  cmake ninja-build g++ ccache pkg-config
  qt6-base-dev qt6-multimedia-dev qt6-svg-dev libgl-dev fonts-noto-cjk
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  libicu-dev libopencc-dev libopencc-data libcli11-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  gnugo xvfb xauth xdotool imagemagick
  desktop-file-utils appstream
  dpkg-dev file debootstrap
  clang libclang-rt-14-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

preset="${1:-default}"
cmake --preset "$preset" >/dev/null
# MOONHAVEN_BUILD_TARGETS (space-separated) limits the build to those targets, e.g. the test
# executables a sanitizer run needs.
if [ -n "${MOONHAVEN_BUILD_TARGETS:-}" ]; then
  # shellcheck disable=SC2086
  cmake --build --preset "$preset" --target ${MOONHAVEN_BUILD_TARGETS}
else
  cmake --build --preset "$preset"
fi
