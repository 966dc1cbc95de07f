#!/bin/sh
# Installs what Kestrix needs from Debian's packages. Idempotent: does nothing when all
# is there. Run as root (or with sudo available).
set -e

packages="cmake ninja-build g++ clang libclang-rt-14-dev zlib1g-dev libstb-dev libgtest-dev libbenchmark-dev libcairo2-dev ffmpeg
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 libz-mingw-w64-dev
  wine wine64 xvfb xdotool imagemagick x11-apps"
# The 32-bit Wine loader; on hosts that cannot run 32-bit code the tests use 64-bit builds.
packages_i386="wine32:i386"

missing=""
for p in $packages $packages_i386; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing
