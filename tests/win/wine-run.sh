#!/bin/sh
# Runs one Windows program under Wine: wine-run.sh ARCH PROGRAM.exe [ARGS...]
# ARCH is the program's architecture (i686 or x86_64). Under ctest, KESTRIX_WINE_DIR names the
# folder in which the fixture (wine-prefix.sh) made this run's prefix and recorded its display;
# the run is the ctest process, our parent. Without it, WINEPREFIX and DISPLAY are used as given.
set -e
arch=$1
shift
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
if [ -n "$KESTRIX_WINE_DIR" ]; then
    run=$KESTRIX_WINE_DIR/run-${KESTRIX_WINE_RUN_ID:-$PPID}
    # Never fall back to the user's own display: windows and input would land there.
    if ! DISPLAY=$(cat "$run/display" 2>/dev/null) || [ -z "$DISPLAY" ]; then
        echo "wine-run.sh: no test display in $run (the fixture wine.prefix.create makes it)" >&2
        exit 1
    fi
    export DISPLAY WINEPREFIX="$run/prefix"
    unset WAYLAND_DISPLAY
fi
if [ "$arch" = x86_64 ]; then
    exec /usr/lib/wine/wine64 "$@"
fi
exec /usr/lib/wine/wine "$@"
