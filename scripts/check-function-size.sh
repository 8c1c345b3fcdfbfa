#!/usr/bin/env bash
# Lists the functions of app/ and render/ longer than 60 lines and exits with
# 1 when there is one. clang-tidy's readability-function-size counts them:
# the lines between a function's opening and closing brace, blank lines and
# comments included; a lambda counts with the function it stands in.
#
#   bash scripts/check-function-size.sh [BUILD]
#
# BUILD (default build) is a configured build folder; its
# compile_commands.json tells clang-tidy how each file is compiled.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
limit=60
[[ -f $build/compile_commands.json ]] || { echo "no $build/compile_commands.json" >&2; exit 2; }
command -v clang-tidy >/dev/null || { echo "no clang-tidy: bash scripts/install-deps.sh" >&2; exit 2; }
mapfile -t files < <(git ls-files 'app/*.cpp' 'render/*.cpp')
config="{CheckOptions: [{key: readability-function-size.LineThreshold, value: $limit}]}"
# A file that clang-tidy cannot compile has not been measured: that is no pass.
if ! output=$(clang-tidy -p "$build" --quiet -checks='-*,readability-function-size' \
    -config="$config" --header-filter="^$PWD/(app|render)/" "${files[@]}" 2>/dev/null); then
    echo "clang-tidy could not measure every file:" >&2
    grep 'error:' <<<"$output" >&2 || true
    exit 2
fi
report=$(grep -A1 'readability-function-size' <<<"$output" |
    grep -E 'warning|note: [0-9]+ lines' || true)
if [[ -n $report ]]; then
    echo "$report" | sort -u
    exit 1
fi
echo "${#files[@]} files of app/ and render/: no function over $limit lines"
