#!/usr/bin/env bash
# Checks every shipped module of each build: the right machine type, and imports of system DLLs
# only (no MinGW runtime DLL, and none of the player's own modules: its "ksl_ximage.dll" is built
# by another compiler, so our image code lives inside Rembrix.dll).
# Usage: check-modules.sh DIR ARCH [DIR ARCH ...]  (ARCH: i386 or x86-64)
set -euo pipefail
modules=(Rembrix.dll Rembrix.DEU KsXTag.dll ffmpeg_vx.exe)
# The system DLLs a module may import, in lower case.
system_dlls=(kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll comctl32.dll ole32.dll oleaut32.dll
  version.dll msvcrt.dll windowscodecs.dll msimg32.dll)
is_system() { local d; for d in "${system_dlls[@]}"; do [ "$d" = "$1" ] && return 0; done; return 1; }
status=0
while [ $# -ge 2 ]; do
  dir=$1 arch=$2; shift 2
  prefix=i686-w64-mingw32; [ "$arch" = x86-64 ] && prefix=x86_64-w64-mingw32
  for m in "${modules[@]}"; do
    f="$dir/bin/$m"
    if [ ! -f "$f" ]; then echo "check-modules: $f is missing"; status=1; continue; fi
    if ! $prefix-objdump -f "$f" | grep -q "file format pei-$arch"; then
      echo "check-modules: $f is not a pei-$arch module"; status=1
    fi
    exports=$($prefix-objdump -p "$f")
    for dll in $(awk '/DLL Name:/ {print tolower($3)}' <<<"$exports"); do
      is_system "$dll" || { echo "check-modules: $f imports $dll, which is not a system DLL"; status=1; }
    done
    if [ "$m" = Rembrix.dll ] && ! grep -qE '\] KsPluginCreate$' <<<"$exports"; then
      echo "check-modules: $f does not export KsPluginCreate undecorated"; status=1
    fi
    if [ "$m" = Rembrix.dll ] && grep -qai 'ksl_ximage' "$f"; then
      echo "check-modules: $f names ksl_ximage.dll"; status=1
    fi
    if [ "$m" = KsXTag.dll ] && ! grep -qE '\] KsXCreate$' <<<"$exports"; then
      echo "check-modules: $f does not export KsXCreate undecorated"; status=1
    fi
  done
done
[ $status -eq 0 ] && echo "check-modules: every module is of its target and imports system DLLs only"
exit $status
