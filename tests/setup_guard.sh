#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Fails when the build or the tests use a Debian package that scripts/setup would not
# install on a fresh machine. A developer's machine keeps whatever was once installed by
# hand, so a missing name in the list would otherwise show only on a new machine.
#
# What is checked: every package configuration and program CMake found (the cache's
# *_DIR and FILEPATH entries), every absolute program the registered tests run, and the
# programs the scripts and the screenshot tour call by name. Each must belong to a package
# that scripts/setup names, that the Depends of a named package pull in, or that is
# Essential. Only the local package database is read: no network.
#
#   setup_guard.sh <build dir> <scripts/setup> [extra program ...]
set -euo pipefail
build=$1
setup=$2
shift 2
programs_by_name=(bash locale-gen xvfb-run xauth "$@")

command -v dpkg-query >/dev/null || { echo "not a Debian system: nothing to check"; exit 0; }

mapfile -t named < <(bash "$setup" --list)
[ ${#named[@]} -gt 0 ] || { echo "scripts/setup --list named no package"; exit 1; }

strip_arch() { sed 's/:[a-z0-9_-]*$//'; }

# The packages a fresh machine ends up with: the named ones, the closure of their Depends
# (and PreDepends), and the Essential set that every Debian system has.
declare -A allowed=()
while read -r p; do
    [ -n "$p" ] && allowed[$p]=1
done < <(
    apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks \
        --no-replaces --no-enhances --installed "${named[@]}" 2>/dev/null |
        sed -n 's/^\([^ <][^ ]*\)$/\1/p; s/^ *|\?\(Pre\)\?Depends: \([^<][^ ]*\)$/\2/p' |
        strip_arch
    printf '%s\n' "${named[@]}"
    dpkg-query -W -f='${Package} ${Essential}\n' | awk '$2 == "yes" { print $1 }'
)

# The files whose owners must be allowed.
files=()
while IFS= read -r line; do
    name=${line%%:*}
    value=${line#*=}
    case $value in /*) ;; *) continue ;; esac
    case $value in "$build"* | */CMakeFiles/*) continue ;; esac
    if [[ $name == *_DIR ]] && [ -d "$value" ]; then
        # A package configuration folder: its owner is the owner of the package's own
        # config file in it (Qt's folders hold plugin configs of other packages too).
        package=${name%_DIR}
        config=$(find "$value" -maxdepth 1 \( -iname "${package}Config.cmake" -o \
            -iname "${package}-config.cmake" \) | head -n 1)
        [ -n "$config" ] && files+=("$config")
    elif [[ $line == *:FILEPATH=* ]] && [ -f "$value" ]; then
        files+=("$value")
    fi
done < <(grep -E '^[A-Za-z0-9_]+:(PATH|FILEPATH)=' "$build/CMakeCache.txt")

while IFS= read -r program; do
    [ -x "$program" ] && files+=("$program")
done < <(find "$build" -name CTestTestfile.cmake -exec grep -ho '"/[^" ]*"' {} + |
    tr -d '"' | grep -E '^/(usr|bin|sbin)/' | sort -u)

for program in "${programs_by_name[@]}"; do
    path=$(command -v "$program" || true)
    if [ -z "$path" ]; then
        echo "missing program: $program (not installed at all)"
        failed=1
        continue
    fi
    files+=("$path")
done

# Every header and library the compiler and the linker read from the system: the
# compiler's dependency files and the link lines name them.
while IFS= read -r f; do
    files+=("$f")
done < <(
    find "$build" \( -name '*.o.d' -o -name 'link.txt' \) -exec cat {} + | tr ' \\:' '\n\n\n' |
        grep -E '^/usr/' | xargs -r realpath -m -- | sort -u
)

# dpkg knows a file by the path its package shipped. Ask for all at once, then for the
# ones it did not know, with their links resolved (/usr/bin/c++ is an alternative), then
# by their /usr-merged twin (/bin is /usr/bin on Debian 12).
declare -A owners=()
pairs=$(mktemp)
trap 'rm -f "$pairs"' EXIT
ask_dpkg() { # reads "<path to look up as> <path it stands for>" lines from $pairs
    local -a asked=() meant=()
    local a m line i
    while read -r a m; do asked+=("$a"); meant+=("$m"); done <"$pairs"
    [ ${#asked[@]} -gt 0 ] || return 0
    local -A by_path=()
    while IFS= read -r line; do
        by_path[${line#*: }]=${line%%: *}
    done < <(dpkg-query -S "${asked[@]}" 2>/dev/null | grep -v '^diversion' || true)
    for i in "${!asked[@]}"; do
        if [ -n "${by_path[${asked[$i]}]:-}" ]; then owners[${meant[$i]}]=${by_path[${asked[$i]}]}; fi
    done
}
mapfile -t unique < <(printf '%s\n' "${files[@]}" | sort -u)
for f in "${unique[@]}"; do echo "$f $f"; done >"$pairs"
ask_dpkg
for f in "${unique[@]}"; do
    if [ -z "${owners[$f]:-}" ]; then echo "$(readlink -f "$f") $f"; fi
done >"$pairs"
ask_dpkg
for f in "${unique[@]}"; do
    [ -z "${owners[$f]:-}" ] || continue
    case $f in /usr/*) echo "${f#/usr} $f" ;; *) echo "/usr$f $f" ;; esac
done >"$pairs"
ask_dpkg

failed=${failed:-0}
declare -A reported=()
for f in "${unique[@]}"; do
    list=${owners[$f]:-}
    if [ -z "$list" ]; then
        echo "no package owns $f"
        failed=1
        continue
    fi
    ok=0
    for o in $(echo "$list" | tr ',' ' '); do
        o=$(echo "$o" | strip_arch)
        [ -n "${allowed[$o]:-}" ] && ok=1
    done
    if [ $ok -eq 0 ] && [ -z "${reported[$list]:-}" ]; then
        reported[$list]=1
        echo "missing from scripts/setup: $list (owns $f)"
        failed=1
    fi
done

if [ "$failed" -ne 0 ]; then
    echo "Name the packages above in scripts/setup's list."
    exit 1
fi
echo "every package the build and the tests use is installed by scripts/setup (${#unique[@]} files checked)"
