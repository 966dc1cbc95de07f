#!/bin/sh
# Runs one Windows program under Wine: wine-run.sh ARCH PROGRAM.exe [ARGS...]
# ARCH is the program's architecture (i686 or x86_64); the prefix comes from WINEPREFIX.
set -e
arch=$1
shift
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
if [ "$arch" = x86_64 ]; then
    exec /usr/lib/wine/wine64 "$@"
fi
exec /usr/lib/wine/wine "$@"
