#!/usr/bin/env bash
# Regenerates src/display/font_8x16.inc from Debian's console-data font.
# Needs the console-data package; ordinary builds use the committed table.
set -euo pipefail
cd "$(dirname "$0")/.."
font=${1:-/usr/share/consolefonts/default8x16.psf.gz}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
gzip -dc "$font" > "$tmp/font.psf"
c++ -std=c++20 -O2 -Wall -Wextra -Werror -o "$tmp/psf_to_font" tools/psf_to_font.cpp
"$tmp/psf_to_font" "$tmp/font.psf" > src/display/font_8x16.inc
echo "wrote src/display/font_8x16.inc"
