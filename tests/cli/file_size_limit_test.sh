#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
#
# A save that runs into the file size limit ends with a message and exit status 1, instead
# of the process dying by SIGXFSZ without a word; the old file stays byte for byte as it
# was, with nothing left beside it.
set -u
cli=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
printf 'old\r\n' >"$dir/w.prn"
# stderr goes into a pipe, which the limit doesn't cover.
message=$( (ulimit -f 0 && exec "$cli" save "$dir/w.prn") 2>&1 >/dev/null)
status=$?
[ "$status" -eq 1 ] || { echo "exit status $status, expected 1 (message: '$message')"; exit 1; }
[ "$message" = "I/O error 27." ] || { echo "message '$message', expected 'I/O error 27.'"; exit 1; }
[ "$(od -c "$dir/w.prn")" = "$(printf 'old\r\n' | od -c)" ] || { echo "the old file changed"; exit 1; }
[ "$(ls -A "$dir")" = "w.prn" ] || { echo "left behind: $(ls -A "$dir")"; exit 1; }
