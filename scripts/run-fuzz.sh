#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs them for a while:
#   scripts/run-fuzz.sh [SECONDS]
# SECONDS (default 20) is shared by all the targets, at least 3 each. Each
# starts from its seeds in fuzz/corpus/<target> (frames written from the
# layouts) plus what earlier runs here found, kept in build-fuzz/corpus-<target>.
# A finding stops the script with the crash's log; the input that caused it
# is in build-fuzz/ (crash-*, leak-*, timeout-*).
set -euo pipefail
cd "$(dirname "$0")/.."
# Compiler cache hits across clones in other folders (CI builds a fresh clone).
export CCACHE_BASEDIR="$(pwd)" CCACHE_NOHASHDIR=1
total=${1:-20}
root="$(pwd)"
build="$root/build-fuzz"
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DQEVA_FUZZ=ON -DQEVA_TESTS=OFF -DQEVA_GUI=OFF >/dev/null
targets=$(ninja -C "$build" -t targets all | grep -o '^fuzz_[a-z_]*:' | grep -v autogen | tr -d : | sort -u)
ninja -C "$build" -j"${QEVA_JOBS:-2}" $targets
count=$(echo "$targets" | wc -w)
seconds=$(( total / count ))
(( seconds < 3 )) && seconds=3
for name in $targets; do
  target="$build/fuzz/$name"
  [ -x "$target" ] || continue
  corpus="$build/corpus-$name"
  mkdir -p "$corpus"
  # Sequences of frames need room; a single reply does not.
  case "$name" in
    fuzz_sim*) max_len=4096 ;;
    fuzz_replies) max_len=512 ;;
    *) max_len=1024 ;;
  esac
  seeds=()
  [ -d "fuzz/corpus/$name" ] && seeds=("fuzz/corpus/$name")
  log="$build/$name.log"
  echo "fuzzing $name for ${seconds}s"
  (cd "$build" && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 "$target" -max_total_time="$seconds" \
    -max_len="$max_len" -timeout=25 -print_final_stats=1 "$corpus" "${seeds[@]/#/$root/}" 2>"$log") \
    || { tail -40 "$log"; exit 1; }
  # The last status line: runs, edges covered (cov), features (ft), executions per second.
  grep -E '^#[0-9]+' "$log" | tail -1 | sed "s/^/  $name: /"
done
echo "fuzzing: no finding"
