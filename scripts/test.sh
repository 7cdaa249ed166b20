#!/usr/bin/env bash
# Sets up and builds the program, then runs every test. Give a preset (default, asan, tsan) to
# run the suite under a sanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
bash scripts/setup.sh "$preset"
ctest --preset "$preset"
