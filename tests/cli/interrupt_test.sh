#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
#
# An interrupt stops a long run: the command line prints where the run stopped and exits
# with 130, instead of dying without a word or running on.
set -u
cli=$1
# The signal to send: INT unless given, e.g. TERM, which stops a run the same way.
sig=${2:-INT}
out=$(mktemp)
progress=$(mktemp)
trap 'rm -f "$out" "$progress"' EXIT
"$cli" --progress --cell 2:1:0=7 --cell 2:1:3=-2 run >"$out" 2>"$progress" &
pid=$!
# The first progress line comes once the run is going and an interrupt would stop it.
for _ in $(seq 1 600); do
    [ -s "$progress" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
done
[ -s "$progress" ] || { echo "the run never said it was going"; kill -KILL "$pid"; exit 1; }
kill -"$sig" "$pid"
for _ in $(seq 1 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
    kill -KILL "$pid"
    echo "the run did not stop within 5 s of the interrupt"
    exit 1
fi
wait "$pid"
status=$?
cat "$out"
[ "$status" -eq 130 ] || { echo "exit status $status, expected 130"; exit 1; }
grep -q '^Run stopped at pH -\?[0-9.]* after [0-9.]* mmol/L H+; lower target not reached$' "$out" \
    || { echo "no 'Run stopped' line"; exit 1; }
