#!/usr/bin/env bash
# Installs what is missing, builds the client, the simulator and qevactl
# (build-app/qml/qeva-remote, build-app/sim/qeva-sim, build-app/cli/qevactl),
# starts the simulator on loopback and the client configured for loopback,
# and stops the simulator when the client exits. Nothing goes beyond this
# machine.
#
# The simulator: name "演示服务器", password "468", windows 01 and 02, on
# 127.0.0.2 (ports 5760, 5761, 5762), announcing to 127.0.0.1:5760 every
# second. In the client: scan, tap the server, enter 468, pick a window.
set -euo pipefail
cd "$(dirname "$0")/.."
# Compiler cache hits across clones in other folders (CI builds a fresh clone).
export CCACHE_BASEDIR="$(pwd)" CCACHE_NOHASHDIR=1
root=$(pwd)

scripts/setup.sh

build="$root/build-app"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQEVA_TESTS=OFF -DQEVA_GUI=ON >/dev/null
ninja -C "$build" -j"${QEVA_JOBS:-$(nproc)}" qeva-remote qeva-sim qevactl

data="${QEVA_DEMO_DIR:-$root/.demo}"
mkdir -p "$data/documents" "$data/media"

"$build/sim/qeva-sim" --bind 127.0.0.2 --announce-to 127.0.0.1:5760 --interval-ms 1000 \
  --name "演示服务器" --password 468 --windows 01,02 --log "$data/sim.log" &
sim=$!
trap 'kill $sim 2>/dev/null || true; wait $sim 2>/dev/null || true' EXIT
echo "qeva-sim running (pid $sim), its log: $data/sim.log"

args=(--bind 127.0.0.1 --phone-address 127.0.0.1 --multicast-interface lo --documents "$data/documents" "$@")
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display here. Running under Xvfb (xvfb-run); to render without any display instead:"
  echo "  QT_QPA_PLATFORM=offscreen $build/qml/qeva-remote ${args[*]} --screenshot shot.png --screenshot-delay 3000 --quit-after 4000"
  xvfb-run -a -s "-screen 0 1280x1024x24" "$build/qml/qeva-remote" "${args[@]}"
else
  "$build/qml/qeva-remote" "${args[@]}"
fi
