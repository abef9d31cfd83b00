#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
#
# A chart file of the largest size is drawn within a bound of memory: svg and pdf without
# a bitmap of the whole size (1.6 GB), which 700 MB of address space could not hold; a PNG
# that large is refused with a message before anything is drawn, and no file is left.
set -u
cli=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
for format in svg pdf; do
    (ulimit -v 700000 && "$cli" run --chart "$dir/big.$format" --chart-size 20000x20000) \
        >/dev/null || { echo "$format at 20000x20000 failed within 700 MB"; exit 1; }
    [ -s "$dir/big.$format" ] || { echo "no $format written"; exit 1; }
done
message=$("$cli" run --chart "$dir/big.png" --chart-size 20000x20000 2>&1 >/dev/null)
status=$?
[ "$status" -eq 1 ] || { echo "exit status $status for a PNG too large, expected 1"; exit 1; }
[ "$message" = "A PNG chart has at most 40 million pixels, not 20000x20000; choose a smaller size, or svg or pdf." ] \
    || { echo "message: $message"; exit 1; }
[ ! -e "$dir/big.png" ] || { echo "a PNG was left"; exit 1; }
