#!/bin/sh
# Sets up or tears down the Wine environment of one test run: wine-prefix.sh create|remove BASE
#   BASE/run-ID/prefix   a fresh Wine prefix
#   BASE/run-ID/display  the Xvfb display (":N") on which the run's Windows programs draw
# ID is the ctest process that runs the fixture (our parent), so that two test runs in the same
# build tree do not share, or tear down, each other's prefix and display; wine-run.sh finds the
# same directory the same way. Set KESTRIX_WINE_RUN_ID to use both scripts by hand.
# Xvfb runs in its own session with its output in its log, so ctest does not wait for it. A run
# that was interrupted before its cleanup leaves it behind; the next create stops it.
set -e
action=$1
base=$2
if [ -z "$base" ]; then
    echo "usage: $0 create|remove BASE" >&2
    exit 2
fi
dir=$base/run-${KESTRIX_WINE_RUN_ID:-$PPID}
export WINEDEBUG=-all
# No Mono or Gecko install dialogs, no menu entries in the user's home.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY

wine_cmd() {
    if /usr/lib/wine/wine64 --version >/dev/null 2>&1; then
        timeout 120 /usr/lib/wine/wine64 "$@"
    else
        timeout 120 /usr/lib/wine/wine "$@"
    fi
}

# Stops the Xvfb and the Wine processes of one run directory and deletes it.
clean_run() {
    run=$1
    if [ -d "$run/prefix" ]; then
        WINEPREFIX="$run/prefix" /usr/lib/wine/wineserver -k 2>/dev/null || true
    fi
    if [ -f "$run/xvfb.pid" ]; then
        pid=$(cat "$run/xvfb.pid")
        # Only our own server: the pid may have been reused since.
        if [ -n "$pid" ] && [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = Xvfb ]; then
            kill "$pid"
            for _ in $(seq 50); do
                [ -d "/proc/$pid" ] || break
                sleep 0.1
            done
        fi
    fi
    rm -rf "$run"
}

start_display() {
    : >"$dir/displayfd"
    # -displayfd picks a free display number and writes it once the server accepts clients.
    setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp \
        3>"$dir/displayfd" </dev/null >"$dir/xvfb.log" 2>&1 &
    pid=$!
    echo "$pid" >"$dir/xvfb.pid"
    for _ in $(seq 100); do
        number=$(sed -n '1{/^[0-9][0-9]*$/p}' "$dir/displayfd")
        if [ -n "$number" ]; then
            echo ":$number" >"$dir/display"
            return 0
        fi
        if ! kill -0 "$pid" 2>/dev/null; then
            echo "Xvfb exited at start:" >&2
            cat "$dir/xvfb.log" >&2
            return 1
        fi
        sleep 0.1
    done
    echo "Xvfb did not report a display within 10 s" >&2
    return 1
}

case "$action" in
    create)
        mkdir -p "$base"
        for run in "$base"/run-*; do
            id=${run##*/run-}
            case "$id" in
                '*' | *[!0-9]*) continue ;;  # no match, or named by hand
            esac
            if [ "$run" = "$dir" ] || [ ! -d "/proc/$id" ]; then
                clean_run "$run"
            fi
        done
        mkdir -p "$dir/prefix"
        export WINEPREFIX="$dir/prefix"
        start_display
        DISPLAY=$(cat "$dir/display")
        export DISPLAY
        wine_cmd wineboot -i >/dev/null 2>&1
        # Debian's Wine leaves its own fonts out of the prefix; without Marlett the title bar
        # buttons show as letters, and without Tahoma text takes whatever the host has.
        if [ -d /usr/share/wine/fonts ] && [ ! -e "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" ]; then
            cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
        fi
        # Xvfb has no window manager. Wine draws the window frames itself, so screenshots show
        # title bars, and does not wait for a manager to hide a window (2 s per window otherwise).
        # No virtual desktop: every top-level window is an X window of its own.
        wine_cmd reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
        wine_cmd reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
        wine_cmd reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f >/dev/null 2>&1 || true
        timeout 60 /usr/lib/wine/wineserver -w
        test -f "$WINEPREFIX/system.reg"
        grep -q '"Decorated"="N"' "$WINEPREFIX/user.reg"
        grep -q '"Managed"="N"' "$WINEPREFIX/user.reg"
        echo "Wine prefix $WINEPREFIX on display $DISPLAY"
        ;;
    remove)
        clean_run "$dir"
        rmdir "$base" 2>/dev/null || true
        ;;
    *)
        echo "usage: $0 create|remove BASE" >&2
        exit 2
        ;;
esac
