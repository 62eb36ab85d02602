#!/usr/bin/env bash
# Renders each manual page as man does and fails on any warning.
#   man_pages_test.sh GROFF PAGE...
set -uo pipefail
groff=$1; shift
failures=0
for page in "$@"; do
    warnings=$("$groff" -ww -z -man -Tutf8 "$page" 2>&1) || failures=$((failures + 1))
    [ -z "$warnings" ] || { echo "FAIL: $page:"; echo "$warnings"; failures=$((failures + 1)); }
done
exit $((failures > 0))
