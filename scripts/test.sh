#!/usr/bin/env bash
# Builds everything and runs the test suites: scripts/test.sh [FOLDER [CMAKE OPTIONS...]]
set -euo pipefail
cd "$(dirname "$0")/.."
folder=${1:-build}
shift || true
bash scripts/build.sh "$folder" "$@"
cd "$folder"
ctest --output-on-failure -j"$(nproc)" --timeout 600
