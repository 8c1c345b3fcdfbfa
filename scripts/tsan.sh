#!/usr/bin/env bash
# Builds the suites whose code runs on several threads (receiver, plug-ins,
# application, fault tests) with ThreadSanitizer and runs them:
#   scripts/tsan.sh [FOLDER]   (default build-tsan)
set -euo pipefail
cd "$(dirname "$0")/.."
folder=${1:-build-tsan}
suites=(gps_test receiver_e2e_test sentrix_test app_tests)
[ -f tests/fault/CMakeLists.txt ] && suites+=(fault_tests)
bash scripts/install-deps.sh
# clang builds with ThreadSanitizer several times faster than gcc.
compilers=()
command -v clang++ >/dev/null && compilers=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++)
cmake -S . -B "$folder" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTEVO_TSAN=ON -DTEVO_BUILD_BENCH=OFF \
  "${compilers[@]}"
# The program folder the suites start tevo from needs every plug-in (a
# missing one would stop the start-up at its error box) and the map.
cmake --build "$folder" -j"$(nproc)" --target "${suites[@]}" tevo Sentrix Gnss trackrec nmeasim \
  tevo_demo_map
cd "$folder"
# Suites not named above are not built; their placeholders are left out. One
# suite at a time: the instrumented program is slow, and the window tests time
# its start-up.
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ${TSAN_OPTIONS:-}" \
  ctest --output-on-failure --timeout 600 -E '_NOT_BUILT$'
