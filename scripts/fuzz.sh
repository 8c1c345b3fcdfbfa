#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a while:
#   scripts/fuzz.sh [-t SECONDS] [-b FOLDER] [-j JOBS] [TARGET...]
# SECONDS per target (default 60); FOLDER is the clang build tree (default
# build-fuzz; a sanitizer tree configured with -DTEVO_FUZZ=ON serves as well,
# its tests stay as they are); JOBS targets run side by side, each on a core
# of its own (default: the number of cores); TARGET names as in fuzz/corpus/
# (default: every target built).
# First the reproducers under fuzz/regressions/ are replayed, then each target
# fuzzes from its seeds (fuzz/corpus/NAME) with its dictionary. New inputs
# collect in FOLDER/fuzz-work/NAME/corpus. A finding fails the run and its
# reproducer's path is printed. Without clang's fuzzer runtime the targets are
# skipped with a message.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
seconds=60
folder=build-fuzz
jobs=$(nproc)
while getopts "t:b:j:h" opt; do
  case $opt in
    t) seconds=$OPTARG ;;
    b) folder=$OPTARG ;;
    j) jobs=$OPTARG ;;
    *) sed -n '2,13p' "$0"; exit 2 ;;
  esac
done
shift $((OPTIND - 1))

skip() { echo "fuzz: $1; the fuzz targets are skipped"; exit 0; }
bash scripts/install-deps.sh
command -v clang++ >/dev/null || skip "clang++ is not installed"

mkdir -p "$folder"
cmake -S . -B "$folder" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTEVO_FUZZ=ON -DTEVO_BUILD_BENCH=OFF \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >"$folder/configure.log" 2>&1 ||
  { cat "$folder/configure.log"; exit 1; }
grep -q '^TEVO_HAVE_LIBFUZZER:INTERNAL=1' "$folder/CMakeCache.txt" ||
  skip "clang has no libFuzzer runtime (Debian: libclang-rt-14-dev)"
cmake --build "$folder" --target fuzzers -j"$(nproc)"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for bin in "$folder"/fuzz/fuzz_*; do targets+=("${bin##*/fuzz_}"); done
fi

# The targets hand their input to the readers as files: on a memory file
# system that costs a quarter of the time it costs on disk. The scratch folder
# goes with the run; a finding is kept by its reproducer.
scratch_parent=$root/$folder/fuzz-work
[ -d /dev/shm ] && [ -w /dev/shm ] && scratch_parent=/dev/shm
mkdir -p "$scratch_parent"
export TMPDIR=$(mktemp -d "$scratch_parent/tevo-fuzz.XXXXXX")
trap 'rm -rf "$TMPDIR"' EXIT

failed=()
skipped=()
# Every reproducer kept under fuzz/regressions/NAME/ must pass; its
# description is FILE.txt. A description beginning "open:" marks a fault not
# yet repaired: while it still reproduces, the target is not fuzzed (it would
# only find it again) and the run says so.
replay() {
  local name=$1 bin=$2 dir=$root/fuzz/regressions/$1 f desc status=0
  [ -d "$dir" ] || return 0
  for f in "$dir"/*; do
    [[ -f $f && $f != *.txt ]] || continue
    desc=$(cat "$f.txt" 2>/dev/null || echo "no description")
    if "$bin" -runs=1 -close_fd_mask=1 "$f" >"$folder/fuzz-work/$name/replay.log" 2>&1; then
      [[ $desc == open:* ]] && echo "fuzz: $f passes now: drop \"open:\" from $f.txt"
    elif [[ $desc == open:* ]]; then
      echo "OPEN FAULT $name: $f still fails; $name is not fuzzed until it is repaired"
      echo "  ${desc#open: }"
      [ $status -eq 1 ] || status=2
    else
      echo "FAIL $name: reproducer $f fails again: $desc"
      grep -E '^==[0-9]+==ERROR|runtime error|^SUMMARY' "$folder/fuzz-work/$name/replay.log" | head -n 3 || true
      status=1
    fi
  done
  return $status
}

# Replays and fuzzes one target; returns 0 when it passed, 1 on a finding,
# 2 when it was not fuzzed for an open fault.
run() {
  local name=$1 bin=$root/$folder/fuzz/fuzz_$1 work=$root/$folder/fuzz-work/$1
  [ -x "$bin" ] || { echo "fuzz: no target named $name"; return 1; }
  mkdir -p "$work/corpus" "$work/findings"
  local replayed=0
  replay "$name" "$bin" || replayed=$?
  [ $replayed -eq 0 ] || return $replayed
  local args=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536
              -print_final_stats=1 -close_fd_mask=1 -artifact_prefix="$work/findings/")
  [ -f "$root/fuzz/dict/$name.dict" ] && args+=(-dict="$root/fuzz/dict/$name.dict")
  local seeds=()
  [ -d "$root/fuzz/corpus/$name" ] && seeds+=("$root/fuzz/corpus/$name")
  echo "fuzz: $name for ${seconds}s"
  if "$bin" "${args[@]}" "$work/corpus" "${seeds[@]}" >"$work/log" 2>&1; then
    grep -E '^stat::number_of_executed_units|^#[0-9]+[[:space:]]+DONE' "$work/log" | tr '\n' ' '
    echo
  else
    echo "FAIL $name: a finding (log $work/log)"
    grep -E '^==[0-9]+==ERROR|runtime error|^SUMMARY|deadly signal|timeout after|out-of-memory' "$work/log" | head -n 5 || true
    grep -A12 -E '^==[0-9]+==ERROR|runtime error' "$work/log" | grep -E '^ +#[0-9]' | head -n 8 || true
    grep -E "^(artifact_prefix|Test unit written to)" "$work/log" | sed 's/^/  /' || true
    return 1
  fi
}

# At most $jobs targets at a time, each in the background with its output
# kept apart; the outputs are then printed in the order of the targets.
results=$root/$folder/fuzz-work/results
rm -rf "$results"
mkdir -p "$results"
for t in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  ( code=0; run "$t" >"$results/$t.out" 2>&1 || code=$?; echo $code >"$results/$t.code" ) &
done
wait
for t in "${targets[@]}"; do
  cat "$results/$t.out"
  case $(cat "$results/$t.code") in
    0) ;;
    2) skipped+=("$t") ;;
    *) failed+=("$t") ;;
  esac
done
[ ${#skipped[@]} -eq 0 ] || echo "fuzz: not fuzzed for an open fault: ${skipped[*]}"
[ ${#failed[@]} -eq 0 ] || echo "fuzz: with a finding: ${failed[*]}"
passed=$((${#targets[@]} - ${#failed[@]} - ${#skipped[@]}))
echo "fuzz: $passed passed, ${#failed[@]} failed, ${#skipped[@]} skipped"
[ ${#failed[@]} -eq 0 ]
