#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a few seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
# Compiler cache hits across clones in other folders (CI builds a fresh clone).
export CCACHE_BASEDIR="$(pwd)" CCACHE_NOHASHDIR=1
seconds=${1:-20}
build="$(pwd)/build-fuzz"
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DQEVA_FUZZ=ON -DQEVA_TESTS=OFF -DQEVA_GUI=OFF >/dev/null
ninja -C "$build" -j"${QEVA_JOBS:-2}" $(ninja -C "$build" -t targets all | grep -o '^fuzz_[a-z_]*:' | grep -v autogen | tr -d : | sort -u)
for target in "$build"/fuzz/fuzz_*; do
  [ -f "$target" ] && [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus="$build/corpus-$name"
  mkdir -p "$corpus"
  echo "fuzzing $name for ${seconds}s"
  QT_QPA_PLATFORM=offscreen "$target" -max_total_time="$seconds" -max_len=512 -print_final_stats=0 "$corpus" 2>"$build/$name.log" \
    || { tail -40 "$build/$name.log"; exit 1; }
done
echo "fuzzing: no crash"
