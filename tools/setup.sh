#!/usr/bin/env bash
# Installs what building, testing and running need; does nothing when all is there.
# wine64 only: this machine cannot run 32-bit Linux programs, so never wine32.
set -euo pipefail

packages=(
  make cmake ninja-build
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine wine64 libpng16-16 libjpeg62-turbo
  xvfb fonts-liberation
  googletest
  python3 libjpeg-turbo-progs
  clang libclang-rt-14-dev
  # Wine decodes video through GStreamer: the frame grabber's DirectShow graph needs these.
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-libav
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}"
SUDO=; [ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
