#!/usr/bin/env bash
# Builds the programs without sanitizers (build-package/, Release), then:
# installs them into a temporary prefix, moves that prefix and runs each
# program from there; validates the desktop entry and the metainfo; builds
# the .deb, checks what it holds and what it depends on, unpacks it into a
# scratch root and runs each program from there. Exits non-zero on the
# first fault. Nothing is installed on this machine.
set -euo pipefail
cd "$(dirname "$0")/.."
export CCACHE_BASEDIR="$(pwd)" CCACHE_NOHASHDIR=1
root=$(pwd)
jobs=${QEVA_JOBS:-$(nproc)}
build="$root/build-package"
programs=(qeva-remote qevactl qeva-sim)
started=$SECONDS

fail() { echo "check-package: $*" >&2; exit 1; }

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQEVA_TESTS=OFF -DQEVA_GUI=ON \
  -DQEVA_SANITIZE=OFF -DQEVA_MAN=ON -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
ninja -C "$build" -j"$jobs"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || fail "no project version in $build/CMakeCache.txt"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# The app needs no display for --help and --version.
export QT_QPA_PLATFORM=offscreen

# $1: folder holding bin/; $2: what it is, for messages.
run_programs() {
  local bin=$1/bin p out
  for p in "${programs[@]}"; do
    [ -x "$bin/$p" ] || fail "$2: no $bin/$p"
    out=$("$bin/$p" --version 2>"$scratch/stderr") || fail "$2: $p --version failed: $(cat "$scratch/stderr")"
    [ "$out" = "$p $version" ] || fail "$2: $p --version says \"$out\", not \"$p $version\""
    "$bin/$p" --help >/dev/null 2>"$scratch/stderr" || fail "$2: $p --help failed: $(cat "$scratch/stderr")"
  done
  # The core is linked in: each program needs only the system's libraries,
  # none from the build folder and none that cannot be found.
  local libs
  for p in "${programs[@]}"; do
    libs=$(ldd "$bin/$p") || fail "$2: ldd $p failed"
    ! grep -q "not found" <<<"$libs" || fail "$2: $p misses a library: $(grep "not found" <<<"$libs")"
    ! grep -qF "$root/" <<<"$libs" || fail "$2: $p loads a library from the checkout: $(grep -F "$root/" <<<"$libs")"
    ! grep -q libqevaclient <<<"$libs" || fail "$2: $p still needs a shared client core"
  done
}

echo "== install into a temporary prefix, then move it"
cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
mv "$scratch/prefix" "$scratch/moved"
prefix="$scratch/moved"
run_programs "$prefix" "installed tree"

echo "== man pages list every option of --help"
for p in "${programs[@]}"; do
  page="$prefix/share/man/man1/$p.1.gz"
  [ -s "$page" ] || fail "no man page $page"
  text=$(gzip -dc "$page")
  for o in $("$prefix/bin/$p" --help 2>/dev/null | grep -oE -- '--[a-z][a-z0-9-]+' | sort -u); do
    grep -qF -- "${o//-/\\-}" <<<"$text" || fail "$p.1 does not mention $o"
  done
done

echo "== desktop entry and metainfo"
desktop-file-validate "$prefix/share/applications/org.qeva.remote.desktop"
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/org.qeva.remote.metainfo.xml"

echo "== Debian package"
(cd "$build" && cpack -G DEB -B "$scratch/deb" >"$scratch/cpack.log") || { cat "$scratch/cpack.log"; fail "cpack failed"; }
debs=("$scratch"/deb/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single .deb: ${debs[*]}"
deb=${debs[0]}
echo "$(basename "$deb"):"
dpkg-deb -c "$deb" | awk '{print "  " $6 ($7 ? " " $7 " " $8 : "")}'
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
echo "Recommends: $(dpkg-deb -f "$deb" Recommends)"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package's version is not $version"
for d in libqt6core6 libqt6quick6 qml6-module-qtquick-controls qml6-module-qtquick-dialogs; do
  [[ ",$depends," =~ [,\ ]$d[\ ,\(] ]] || fail "the package does not depend on $d"
done

# Every dependency must be a package apt knows (a misspelt name would make
# the .deb uninstallable); a simulation installs nothing.
apt-get install --simulate -qq "$deb" >"$scratch/apt.log" 2>&1 || { cat "$scratch/apt.log"; fail "apt cannot install the package"; }

dpkg -x "$deb" "$scratch/root"
usr="$scratch/root/usr"
# Where the metainfo says things are: its desktop id and every binary it provides.
metainfo="$usr/share/metainfo/org.qeva.remote.metainfo.xml"
[ -f "$metainfo" ] || fail "no metainfo in the package"
expected=("$usr/share/icons/hicolor/scalable/apps/org.qeva.remote.svg"
          "$usr/share/bash-completion/completions/qevactl"
          "$usr/share/doc/qeva-remote/LICENSE")
for id in $(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' "$metainfo"); do
  expected+=("$usr/share/applications/$id")
done
for b in $(sed -n 's|.*<binary>\(.*\)</binary>.*|\1|p' "$metainfo"); do
  expected+=("$usr/bin/$b" "$usr/share/man/man1/$b.1.gz")
done
for f in "${expected[@]}"; do
  [ -e "$f" ] || fail "the package has no ${f#"$scratch"/root}"
done
for b in "${programs[@]}"; do
  runpath=$(readelf -d "$usr/bin/$b" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p')
  [[ -z $runpath || $runpath == '$ORIGIN/'* ]] || fail "$b has a RUNPATH outside the package: $runpath"
done
run_programs "$usr" "unpacked package"

echo "check-package: all good ($((SECONDS - started)) s)"
