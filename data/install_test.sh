#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
#
# A clean install into a temporary prefix holds the programs, the launcher, the catalogue
# entry, the icon and the manual, and the installed command line runs.
set -euo pipefail
build=$1
id=$2
with_app=$3
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

expected=(
    bin/phbuffer-cli
    share/applications/$id.desktop
    share/metainfo/$id.metainfo.xml
    share/icons/hicolor/scalable/apps/$id.svg
    share/man/man1/phbuffer-cli.1
    share/doc/phbuffer/copyright
)
[ "$with_app" = 1 ] && expected+=(bin/phbuffer)
status=0
for f in "${expected[@]}"; do
    [ -f "$prefix/$f" ] || { echo "missing after install: $f"; status=1; }
done
"$prefix/bin/phbuffer-cli" --help | grep -q '^Usage: phbuffer-cli' || { echo "installed phbuffer-cli --help failed"; status=1; }
exit $status
