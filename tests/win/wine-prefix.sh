#!/bin/sh
# Creates or removes the Wine prefix of one test run: wine-prefix.sh create|remove DIR
set -e
action=$1
prefix=$2
case "$action" in
    create)
        [ -n "$prefix" ] && rm -rf "$prefix"
        mkdir -p "$prefix"
        export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
        /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || /usr/lib/wine/wine wineboot -i >/dev/null 2>&1
        /usr/lib/wine/wineserver -w
        test -f "$prefix/system.reg"
        ;;
    remove)
        WINEPREFIX="$prefix" /usr/lib/wine/wineserver -k 2>/dev/null || true
        rm -rf "$prefix"
        ;;
esac
