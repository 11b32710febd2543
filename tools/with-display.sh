#!/usr/bin/env bash
# Runs a command with an X display: the caller's, or an Xvfb of its own that ends with it.
set -u
if [ -n "${DISPLAY:-}" ]; then exec "$@"; fi
fifo=$(mktemp -u); mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$fifo" </dev/null >/dev/null 2>&1 &
xvfb=$!
read -r num <"$fifo"; rm -f "$fifo"
export DISPLAY=":$num"
"$@"
rc=$?
# Wine's server outlives the programs for a while; end it before its display goes.
for p in build/*/wine build/mutate/*/wine; do [ -d "$p" ] && WINEPREFIX="$PWD/$p" wineserver -k 2>/dev/null; done
kill "$xvfb" 2>/dev/null
wait "$xvfb" 2>/dev/null
exit $rc
