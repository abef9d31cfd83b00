#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
#
# batch prints each record as soon as it and those before it are done: the first file's
# record is out while a slow file still runs. A request to terminate then prints what is
# done and marks the rest "not run", and --max-steps ends a slow file instead of letting
# it hold the batch.
set -u
cli=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "$*"; cat "$dir/out" 2>/dev/null; exit 1; }

"$cli" save "$dir/fast" || fail "could not save the fast water"
# From pH 7 down to pH -2: millions of steps, minutes of work.
"$cli" --cell 2:1:0=7 --cell 2:1:3=-2 save "$dir/slow" || fail "could not save the slow water"
files=("$dir/fast.prn" "$dir/slow.prn" "$dir/fast.prn" "$dir/fast.prn")

"$cli" batch "${files[@]}" >"$dir/out" &
pid=$!
for _ in $(seq 1 600); do
    [ "$(wc -l <"$dir/out")" -ge 2 ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
done
kill -0 "$pid" 2>/dev/null || fail "the batch ended before the slow file could be interrupted"
[ "$(wc -l <"$dir/out")" -ge 2 ] || fail "no record while the slow file runs"
kill -TERM "$pid"
wait "$pid"
status=$?
[ "$status" -eq 130 ] || fail "exit status $status after TERM, expected 130"
tr -d '\r' <"$dir/out" >"$dir/lines"
[ "$(wc -l <"$dir/lines")" -eq 5 ] || fail "expected a header and four records"
sed -n 2p "$dir/lines" | grep -q '^[^,]*/fast.prn,7.80,4.50,3.299,.*,$' || fail "first record"
sed -n 3p "$dir/lines" | grep -q '^[^,]*/slow.prn,,,,,,,,,not run$' || fail "the slow file"
# The last two were done by another thread, or never started on a machine with one core.
sed -n '4,5p' "$dir/lines" | grep -qv -e ',3.299,.*,$' -e ',,,,,,,,,not run$' && fail "last records"

"$cli" batch --max-steps 5000 --format json "$dir/slow.prn" "$dir/fast.prn" >"$dir/out"
status=$?
[ "$status" -eq 1 ] || fail "exit status $status with a file over its limit, expected 1"
grep -q '"steps": 5000, "stopped": true, .*"error": "The run stopped at the limit of 5000 steps"}' \
    "$dir/out" || fail "no message for the file over its limit"
grep -q '"acid_mmol_l": 3.299' "$dir/out" || fail "the file after it"
exit 0
