#!/usr/bin/env bash
# Builds the navigator and starts it from its program folder build/dist.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh build
exec build/dist/tevo
