#!/usr/bin/env bash
# Sets up and builds the program, then runs every test. Give a preset (default, asan, tsan) to
# run the suite under a sanitizer; further arguments go to ctest, e.g. a label filter:
#   bash scripts/test.sh tsan -L 'process|model'
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
if [ $# -gt 0 ]; then shift; fi
bash scripts/setup.sh "$preset"
ctest --preset "$preset" "$@"
