#!/usr/bin/env bash
# make run: the player simulator with the plug-in on the sample library, driven by the demo
# script. Leaves the log and the snapshots in out/.
set -euo pipefail
cd "$(dirname "$0")/.."

library=build/library
# Made anew whenever its generator changes.
stamp=$(cat tools/library/make_library.py tools/pylib/raster.py | md5sum)
if [ "$(cat "$library/.complete" 2>/dev/null)" != "$stamp" ]; then
  rm -rf "$library"
  python3 tools/library/make_library.py "$library"
  echo "$stamp" >"$library/.complete"
fi
rm -rf out && mkdir -p out/snapshots
# The first run makes every picture anew: no folder keeps the cache of an earlier one.
find "$library" -name '$$KesTHM$$*.cache' -delete
# A scratch take for the demo to delete, with its subtitle side files.
for ext in avi smi smil; do printf 'scratch' >"$library/Holiday Films/Scratch Take.$ext"; done

# Wine sees this machine's root as drive Z:.
win() { echo "Z:$(realpath "$1" | tr / '\\')"; }

sim() {
  local log=$1 script=$2; shift 2
  tools/with-display.sh build/x64/wine-run build/x64/bin/QuillarSim.exe \
    --library "$(win "$library")" --log "$(win out)\\$log.log" \
    --script "$(win "tools/player/$script")" --snapshots "$(win out/snapshots)" "$@"
}
sim quillarsim demo.script
# A second run, as a user coming back: the videos' pictures are answered by the folders' caches.
sim quillarsim-revisit revisit.script >/dev/null
# A third, in German: the language pack beside the module is chosen through the registry.
sim quillarsim-german german.script --language 0x0407 >/dev/null

echo
echo "make run: the logs are out/quillarsim.log, out/quillarsim-revisit.log and out/quillarsim-german.log; the second run's caches:"
grep '^cache .*this run' out/quillarsim-revisit.log || echo '(no album folder has a cache)'
echo "the snapshots are in out/snapshots/:"
ls -1 out/snapshots
