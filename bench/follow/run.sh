#!/usr/bin/env bash
# Runs follow_bench in a private Xvfb: the demonstration drive for SECONDS
# (default 60), RUNS times (default 3), and prints the figures and medians.
# Usage: bench/follow/run.sh [BUILD_DIR] [SECONDS] [RUNS]
set -euo pipefail
build=${1:-build}
seconds=${2:-60}
runs=${3:-3}
bench="$build/bin/follow_bench"
[ -x "$bench" ] || { echo "no $bench: build the follow_bench target" >&2; exit 1; }
# A display number nobody uses.
for n in $(seq 90 130); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
done
Xvfb ":$n" -screen 0 1024x768x24 -noreset >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
DISPLAY=":$n" SDL_AUDIODRIVER=dummy "$bench" "$seconds" "$runs" | grep -E '^(run|median)'
