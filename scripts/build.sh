#!/usr/bin/env bash
# Configures and builds into a build folder: scripts/build.sh [FOLDER [CMAKE OPTIONS...]]
set -euo pipefail
cd "$(dirname "$0")/.."
folder=${1:-build}
shift || true
bash scripts/install-deps.sh
cmake -S . -B "$folder" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$folder" -j"$(nproc)"
