#!/bin/sh
# Runs one Windows program under Wine: wine-run.sh ARCH PROGRAM.exe [ARGS...]
# ARCH is the program's architecture (i686 or x86_64). Under ctest, KESTRIX_WINE_DIR names the
# folder in which the fixture (wine-prefix.sh) made this run's prefix and recorded its display;
# the run is the ctest process, our parent. Without it, WINEPREFIX and DISPLAY are used as given.
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
loader=/usr/lib/wine/wine
[ "$arch" = x86_64 ] && loader=/usr/lib/wine/wine64
if [ -z "$KESTRIX_WINE_DIR" ]; then
    exec "$loader" "$@"
fi
# A test's program may leave helpers running (a help viewer, an example it started) that
# hold ctest's output open; Wine tests run one at a time, so end all of them with the test.
status=0
"$loader" "$@" || status=$?
/usr/lib/wine/wineserver -k 2>/dev/null || true
exit $status
