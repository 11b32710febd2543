#!/usr/bin/env bash
# make dist: the 32-bit product of this tree in out/dist/Rembrix-<version>-win32.zip, with INSTALL.txt
# and SHA256SUMS. The modules carry no time stamp, build folder or symbols, and the archive fixes
# its entries' order and times, so that one commit gives the same bytes in any folder.
set -euo pipefail
cd "$(dirname "$0")/../.."

build=build/x86
[ -f $build/build.ninja ] || cmake -S . -B $build -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686.cmake \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build $build --target Rembrix RembrixDEU

# The version is kept in res/Version.rc alone.
version=$(sed -n 's/^#define REMBRIX_VERSION_\(MAJOR\|MINOR\|PATCH\) \([0-9]*\)$/\2/p' res/Version.rc | paste -sd.)
[[ "$version" =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || { echo "make dist: no version in res/Version.rc"; exit 1; }

stage=build/dist/Rembrix-$version
rm -rf build/dist && mkdir -p "$stage" out/dist
# Without symbols; strip writes the time into the header unless given one.
for m in Rembrix.dll Rembrix.DEU; do SOURCE_DATE_EPOCH=0 i686-w64-mingw32-strip -o "$stage/$m" "$build/bin/$m"; done
sed -e "s/@VERSION@/$version/" -e 's/$/\r/' tools/dist/INSTALL.txt >"$stage/INSTALL.txt"
(cd "$stage" && sha256sum Rembrix.dll Rembrix.DEU INSTALL.txt >SHA256SUMS)

zip=out/dist/Rembrix-$version-win32.zip
rm -f "$zip"
python3 tools/dist/zip.py "$zip" "$stage" Rembrix.dll Rembrix.DEU INSTALL.txt SHA256SUMS
tools/check-modules.sh --zip "$zip"
sha256sum "$zip"
