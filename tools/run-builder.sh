#!/bin/sh
# Opens the builder under Wine: run-builder.sh WINDOWS_BUILD_DIR ARCH
# It runs from build/builder-run/, where it writes its support files, with a Wine prefix of its
# own there (unless WINEPREFIX names one). Without a display it says how to open it.
set -e
tree=$(cd "$1" && pwd)
arch=$2
root=$(cd "$(dirname "$0")/.." && pwd)
run=$root/build/builder-run
mkdir -p "$run"
cp "$tree/bin/KestrixCompiler.exe" "$run/"
prefix=${WINEPREFIX:-$run/prefix}
if [ -z "$DISPLAY" ]; then
    echo "No display here. To open the builder on a machine with one:"
    echo "  cd $run && WINEPREFIX=$prefix $root/tests/win/wine-run.sh $arch KestrixCompiler.exe"
    exit 0
fi
echo "Opening the builder from $run (the first start of a new Wine prefix takes a while)"
cd "$run"
WINEPREFIX=$prefix exec "$root/tests/win/wine-run.sh" "$arch" KestrixCompiler.exe
