#!/usr/bin/env bash
# The desktop the Windows build runs on under Wine: an Xvfb screen and a Wine prefix of the
# project's own, made ready for programs that type into each other's windows.
#
#   eval "$(scripts/wine-desktop.sh)"     start what is missing, export DISPLAY and WINEPREFIX
#   scripts/wine-desktop.sh --stop         end the Xvfb and the Wine server started here
#
# Three things matter on a machine without a window manager:
# - Xvfb runs with -noreset, so it does not reset (and drop Wine's state) whenever the last
#   client disconnects between two test programs.
# - Xvfb's keymap has keypad keys that type "(" and ")"; Wine then reports those characters on
#   keys it cannot press, and VkKeyScanA('(') answers -1. The keypad entries are cleared, so the
#   main keyboard's Shift+9 and Shift+0 are found.
# - Without "Managed"="N" for Wine's X11 driver, destroying a dialog waits two seconds for a
#   window manager that never answers.
#
# Settings: KORVANE_WINEPREFIX (default build/mingw/wineprefix), KORVANE_WINE_DISPLAY (use this
# display, e.g. ":91", instead of a free one), KORVANE_WINE_SCREEN (default 1920x1200x24).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
prefix="${KORVANE_WINEPREFIX:-$root/build/mingw/wineprefix}"
screen="${KORVANE_WINE_SCREEN:-1920x1200x24}"
state="$prefix.desktop"   # the display and the Xvfb's process id, one line each

say() { echo "wine-desktop: $*" >&2; }

display_alive() {
    local d="$1"
    [ -n "$d" ] && xmodmap -display "$d" -pm >/dev/null 2>&1
}

stop() {
    if [ -f "$state" ]; then
        local d pid
        { read -r d; read -r pid; } <"$state" || true
        if [ -d "$prefix" ]; then WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true; fi
        if [ -n "${pid:-}" ] && kill -0 "$pid" 2>/dev/null; then
            kill "$pid" && say "stopped Xvfb $d (process $pid)"
        fi
        rm -f "$state"
    fi
}

if [ "${1:-}" = "--stop" ]; then
    stop
    exit 0
fi

for tool in Xvfb xmodmap wine wineserver; do
    if ! command -v "$tool" >/dev/null; then
        say "$tool is missing (packages xvfb, x11-xserver-utils, wine64)"
        exit 1
    fi
done

mkdir -p "$(dirname "$prefix")"
# Two test programs starting at once must not start two screens or set up the prefix twice.
# (The Xvfb started below closes descriptor 9, or it would hold the lock as long as it runs.)
exec 9>"$prefix.lock"
flock 9

display=""
if [ -f "$state" ]; then
    read -r display <"$state" || true
    display_alive "$display" || display=""
fi

if [ -z "$display" ]; then
    if [ -n "${KORVANE_WINE_DISPLAY:-}" ] && display_alive "$KORVANE_WINE_DISPLAY"; then
        display="$KORVANE_WINE_DISPLAY"
        echo "$display" >"$state"
    else
        fdfile="$(mktemp)"
        args=(-noreset -nolisten tcp -screen 0 "$screen")
        if [ -n "${KORVANE_WINE_DISPLAY:-}" ]; then
            # A display chosen by hand.
            setsid Xvfb "$KORVANE_WINE_DISPLAY" "${args[@]}" </dev/null >/dev/null 2>&1 9>&- &
            pid=$!
            display="$KORVANE_WINE_DISPLAY"
        else
            # Xvfb picks a free display itself and writes its number to descriptor 3.
            setsid Xvfb -displayfd 3 "${args[@]}" 3>"$fdfile" </dev/null >/dev/null 2>&1 9>&- &
            pid=$!
        fi
        for _ in $(seq 100); do
            if [ -z "$display" ] && [ -s "$fdfile" ]; then display=":$(tr -d '\n' <"$fdfile")"; fi
            if display_alive "$display"; then break; fi
            kill -0 "$pid" 2>/dev/null || { say "Xvfb did not start"; rm -f "$fdfile"; exit 1; }
            sleep 0.1
        done
        rm -f "$fdfile"
        display_alive "$display" || { say "Xvfb did not answer"; exit 1; }
        printf '%s\n%s\n' "$display" "$pid" >"$state"
        say "started Xvfb $display (process $pid, screen $screen)"
    fi
    # Clear the keypad keys whose first symbol is a parenthesis (not Shift+9 and Shift+0).
    xmodmap -display "$display" -pke |
        awk '$3 == "=" && ($4 == "parenleft" || $4 == "parenright") { print $2 }' |
        while read -r keycode; do xmodmap -display "$display" -e "keycode $keycode ="; done
fi

export DISPLAY="$display" WINEPREFIX="$prefix" WINEDEBUG="${WINEDEBUG:--all}"
if ! grep -qs '"Managed"="N"' "$prefix/user.reg"; then
    say "preparing the Wine prefix $prefix (once)"
    # No Mono or Gecko installers: nothing here needs them.
    WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -u >/dev/null 2>&1 || true
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    wineserver -w
    grep -qs '"Managed"="N"' "$prefix/user.reg" || { say "could not set up $prefix"; exit 1; }
fi

printf 'export DISPLAY=%q WINEPREFIX=%q WINEDEBUG=%q\n' "$DISPLAY" "$WINEPREFIX" "$WINEDEBUG"
