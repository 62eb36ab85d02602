#!/usr/bin/env bash
# Installs the build into a temporary prefix, as `cmake --install` does for a
# user, and checks that every file is there and that the installed programs run.
#   install_test.sh BUILD_DIR VERSION
set -uo pipefail
build=$1 version=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }

files=(bin/orbits-batch share/man/man1/orbits-batch.1.gz share/man/man6/orbits.6.gz
       share/doc/orbits/copyright share/doc/orbits/changelog.gz)
# The window program and its menu entry exist where Xlib was there to build them.
if [ -x "$build/orbits" ]; then
    files+=(bin/orbits share/applications/orbits.desktop)
    for size in 48 64 128 256; do files+=("share/icons/hicolor/${size}x$size/apps/orbits.png"); done
fi
for f in "${files[@]}"; do
    [ -s "$prefix/$f" ] || fail "$f is not installed"
    [[ $f != bin/* || -x "$prefix/$f" ]] || fail "$f is not executable"
done

# command | expected standard output (and status 0)
checks=("orbits-batch --version|orbits-batch $version"
        "orbits-batch --scenario 7 --steps 10|title: Sonnensystem  24 Objekte von 24")
[ -x "$prefix/bin/orbits" ] && checks+=("orbits --version|orbits $version")
for row in "${checks[@]}"; do
    command=${row%%|*} expected=${row#*|}
    # No display: the answers come before any window is opened.
    out=$(cd "$prefix" && DISPLAY= "bin/${command%% *}" ${command#* } 2>&1 </dev/null) || fail "$command: status $?"
    [ "$out" = "$expected" ] || fail "$command: printed '$out', expected '$expected'"
done
exit $((failures > 0))
