#!/usr/bin/env bash
# Checks every shipped module of each build: the right machine type, and no MinGW runtime DLL
# among its imports. Usage: check-modules.sh DIR ARCH [DIR ARCH ...]  (ARCH: i386 or x86-64)
set -euo pipefail
modules=(ksl_ximage.dll Rembrix.dll Rembrix.DEU KsXTag.dll ffmpeg_vx.exe)
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
    bad=$($prefix-objdump -p "$f" | awk '/DLL Name:/ {print $3}' | grep -iE 'libgcc|libstdc|libwinpthread|mingw' || true)
    if [ -n "$bad" ]; then echo "check-modules: $f imports $bad"; status=1; fi
    exports=$($prefix-objdump -p "$f")
    if [ "$m" = Rembrix.dll ] && ! grep -qE '\] KsPluginCreate$' <<<"$exports"; then
      echo "check-modules: $f does not export KsPluginCreate undecorated"; status=1
    fi
    if [ "$m" = KsXTag.dll ] && ! grep -qE '\] KsXCreate$' <<<"$exports"; then
      echo "check-modules: $f does not export KsXCreate undecorated"; status=1
    fi
  done
done
[ $status -eq 0 ] && echo "check-modules: every module is of its target and imports system DLLs only"
exit $status
