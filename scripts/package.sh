#!/usr/bin/env bash
# Builds the Debian package: build/default/packages/moonhaven_<version>_amd64.deb.
# Sets up and builds the default preset first (scripts/setup.sh, which also installs dpkg-dev),
# then runs cpack, whose dpkg-shlibdeps works out the libraries the programs need.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh default
rm -f build/default/packages/moonhaven_*.deb
(cd build/default && cpack -G DEB >/dev/null)
ls build/default/packages/moonhaven_*_amd64.deb
