#!/usr/bin/env bash
# Installs what is missing, checks that every include points down the
# layers, builds the client, the simulator, the CLI and the tests with
# AddressSanitizer and UndefinedBehaviorSanitizer, runs every test, checks
# the install tree and the Debian package, then runs each fuzz target for a
# short while.
set -euo pipefail
cd "$(dirname "$0")/.."
# Compiler cache hits across clones in other folders (CI builds a fresh clone).
export CCACHE_BASEDIR="$(pwd)" CCACHE_NOHASHDIR=1
root=$(pwd)

scripts/setup.sh
scripts/check-includes.sh

jobs=${QEVA_JOBS:-$(nproc)}
build="$root/build-test"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQEVA_SANITIZE=ON -DQEVA_GUI=ON -DQEVA_TESTS=ON >/dev/null
ninja -C "$build" -j"$jobs"
# Every QML file through qmllint: a warning (unqualified access, a missing
# property, a type it cannot see) fails the run.
ninja -C "$build" all_qmllint

export QT_QPA_PLATFORM=offscreen
# Most tests wait on sockets and timers rather than compute: run more at
# once than there are cores.
(cd "$build" && ctest -j"$((2 * jobs))" --output-on-failure --timeout 300)

QEVA_JOBS=$jobs scripts/check-package.sh

if [ -x scripts/run-fuzz.sh ]; then
  QEVA_JOBS=$jobs scripts/run-fuzz.sh "${QEVA_FUZZ_SECONDS:-20}"
fi
