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
    share/mime/packages/$id.xml
    share/man/man1/phbuffer-cli.1
    share/doc/phbuffer/copyright
)
[ "$with_app" = 1 ] && expected+=(bin/phbuffer)
status=0
for f in "${expected[@]}"; do
    [ -f "$prefix/$f" ] || { echo "missing after install: $f"; status=1; }
done
"$prefix/bin/phbuffer-cli" --help | grep -q '^Usage: phbuffer-cli' || { echo "installed phbuffer-cli --help failed"; status=1; }
if [ "$with_app" = 1 ]; then
    # Asked for its version or help, the window program answers without a display.
    version=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/phbuffer" --version) \
        && [[ "$version" == "phbuffer "[0-9]* ]] || { echo "phbuffer --version failed: $version"; status=1; }
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/phbuffer" --help | grep -q '^Usage: ' \
        || { echo "phbuffer --help failed"; status=1; }
fi
if [ "$with_app" = 1 ]; then
    # The type is found for a data file once the prefix's MIME database is built.
    update-mime-database "$prefix/share/mime" >/dev/null 2>&1
    printf 'x\n' >"$prefix/water.prn"
    type=$(XDG_DATA_HOME="$prefix/share" XDG_DATA_DIRS="$prefix/share" xdg-mime query filetype "$prefix/water.prn" 2>/dev/null || true)
    [ "$type" = application/x-phbuffer-water ] || { echo "xdg-mime: $type for a .prn file"; status=1; }
fi
exit $status
