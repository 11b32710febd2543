#!/usr/bin/env bash
# make run: the player simulator with the plug-in on the sample library, driven by the demo
# script. Leaves the log and the snapshots in out/.
set -euo pipefail
cd "$(dirname "$0")/.."

library=build/library
if [ ! -f "$library/.complete" ]; then
  rm -rf "$library"
  python3 tools/library/make_library.py "$library"
  touch "$library/.complete"
fi
rm -rf out && mkdir -p out/snapshots
# A scratch take for the demo to delete, with its subtitle side files.
for ext in avi smi smil; do printf 'scratch' >"$library/Holiday Films/Scratch Take.$ext"; done

# Wine sees this machine's root as drive Z:.
win() { echo "Z:$(realpath "$1" | tr / '\\')"; }

tools/with-display.sh build/x64/wine-run build/x64/bin/QuillarSim.exe \
  --library "$(win "$library")" --log "$(win out)\\quillarsim.log" \
  --script "$(win tools/player/demo.script)" --snapshots "$(win out/snapshots)"

echo
echo "make run: the log is out/quillarsim.log; the snapshots are in out/snapshots/:"
ls -1 out/snapshots
