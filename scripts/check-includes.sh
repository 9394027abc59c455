#!/usr/bin/env bash
# Fails when a file includes a header of a layer it must not see. The CMake
# targets link only downwards, but every header sits under one include
# folder, so an include upwards would still compile; this check catches it.
#
# The layers, lowest first, and what each may include besides itself
# (docs/architecture.md explains them):
#   codec     protocol/hexcodec, core/logging, core/logescape
#   protocol  codec
#   core      codec
#   session   codec core protocol
#   net       codec core protocol session
#   store     codec core protocol session
#   ui        codec core
#   app       codec core protocol session net store ui
#   screens   everything above
# Front ends: sim/ sees the codec only; cli/ sees everything but ui and
# screens; qml/, tests/, bench/ and fuzz/ see everything.
#
# Usage: scripts/check-includes.sh [tree]   (default: this checkout)
set -euo pipefail
root=${1:-"$(cd "$(dirname "$0")/.." && pwd)"}
cd "$root"

declare -A allowed=(
  [codec]="codec"
  [protocol]="codec protocol"
  [core]="codec core"
  [session]="codec core protocol session"
  [net]="codec core protocol session net"
  [store]="codec core protocol session store"
  [ui]="codec core ui"
  [app]="codec core protocol session net store ui app"
  [screens]="codec core protocol session net store ui app screens"
  [sim]="codec"
  [cli]="codec core protocol session net store app"
)

# The layer of a header as included ("net/sendsocket.h") or of a file's
# path below src/ ("net/sendsocket.cpp"), in $layer.
layer_of() {
  case $1 in
    protocol/hexcodec.* | core/logging.* | core/logescape.*) layer=codec ;;
    */*) layer=${1%%/*} ;;
    *) layer= ;;
  esac
}

faults=0
while IFS= read -r -d '' file; do
  case $file in
    src/*) layer_of "${file#src/}"; from=$layer ;;
    sim/*) from=sim ;;
    cli/*) from=cli ;;
    *) continue ;;
  esac
  [ -n "${allowed[$from]:-}" ] || { echo "check-includes: $file is in no known layer" >&2; faults=1; continue; }
  while IFS=: read -r line header; do
    layer_of "$header"; to=$layer
    # Headers without a folder are the front end's own or generated ones.
    [ -n "$to" ] || continue
    [ -n "${allowed[$to]:-}" ] || continue
    if [[ " ${allowed[$from]} " != *" $to "* ]]; then
      echo "$file:$line: $from must not include $header ($to)" >&2
      faults=1
    fi
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" |
           sed 's/^\([0-9]*\):[^"]*"\([^"]*\)".*/\1:\2/')
done < <(find src sim cli -type f \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z)

if [ "$faults" -ne 0 ]; then
  echo "check-includes: includes across a layer boundary (see scripts/check-includes.sh)" >&2
  exit 1
fi
echo "check-includes: every include points down"
