#!/usr/bin/env bash
# Checks shipped modules: the right machine type, imports of system DLLs only (no MinGW runtime DLL,
# and none of the player's own modules: its "ksl_ximage.dll" is built by another compiler, so our
# image code lives inside Rembrix.dll), and the undecorated factory exports.
# Usage: check-modules.sh DIR ARCH [DIR ARCH ...]   every module of each build (ARCH: i386 or x86-64)
#        check-modules.sh --zip ZIP                 the modules of a release, which is 32-bit
set -euo pipefail
# The system DLLs a module may import, in lower case.
system_dlls=(kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll comctl32.dll ole32.dll oleaut32.dll
  version.dll msvcrt.dll windowscodecs.dll msimg32.dll)
# What the player ships itself, and a release therefore never holds.
players_own=(ksl_ximage.dll KsXTag.dll ffmpeg_vx.exe)
status=0
fail() { echo "check-modules: $*"; status=1; }
is_system() { local d; for d in "${system_dlls[@]}"; do [ "$d" = "$1" ] && return 0; done; return 1; }

check_module() {  # FILE ARCH
  local f=$1 arch=$2 prefix=i686-w64-mingw32 name dump dll
  [ "$arch" = x86-64 ] && prefix=x86_64-w64-mingw32
  name=$(basename "$f")
  [ -f "$f" ] || { fail "$f is missing"; return; }
  $prefix-objdump -f "$f" | grep -q "file format pei-$arch" || fail "$f is not a pei-$arch module"
  dump=$($prefix-objdump -p "$f")
  for dll in $(awk '/DLL Name:/ {print tolower($3)}' <<<"$dump"); do
    is_system "$dll" || fail "$f imports $dll, which is not a system DLL"
  done
  if [ "$name" = Rembrix.dll ]; then
    grep -qE '\] KsPluginCreate$' <<<"$dump" || fail "$f does not export KsPluginCreate undecorated"
    ! grep -qai 'ksl_ximage' "$f" || fail "$f names ksl_ximage.dll"
  fi
  if [ "$name" = KsXTag.dll ] && ! grep -qE '\] KsXCreate$' <<<"$dump"; then
    fail "$f does not export KsXCreate undecorated"
  fi
}

if [ "${1:-}" = --zip ]; then
  zip=$2 unpacked=$(mktemp -d)
  trap 'rm -rf "$unpacked"' EXIT
  python3 -m zipfile -e "$zip" "$unpacked"
  for own in "${players_own[@]}"; do
    [ ! -e "$unpacked/$own" ] || fail "$zip holds the player's own $own"
  done
  for m in Rembrix.dll Rembrix.DEU; do check_module "$unpacked/$m" i386; done
  (cd "$unpacked" && sha256sum --quiet -c SHA256SUMS) || fail "$zip: SHA256SUMS does not match its files"
  [ $status -eq 0 ] && echo "check-modules: $zip holds 32-bit modules that import system DLLs only"
  exit $status
fi

while [ $# -ge 2 ]; do
  for m in Rembrix.dll Rembrix.DEU KsXTag.dll ffmpeg_vx.exe; do check_module "$1/bin/$m" "$2"; done
  shift 2
done
[ $status -eq 0 ] && echo "check-modules: every module is of its target and imports system DLLs only"
exit $status
