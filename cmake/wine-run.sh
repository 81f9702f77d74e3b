#!/bin/sh
# Runs a Windows program under Wine; the cross build's CTest and test
# discovery call it for every Windows test program.
#   wine-run.sh DEFAULT-PREFIX PROGRAM.exe [ARGUMENTS...]
# The prefix is $WINEPREFIX when set, else DEFAULT-PREFIX; one that does not
# exist yet is made by the first caller while parallel callers wait. Nothing
# needs a display: no installer windows (Mono, Gecko) are asked for, and
# console programs never open one.
set -eu

default_prefix=$1
shift
WINEPREFIX=${WINEPREFIX:-$default_prefix}
WINEDEBUG=${WINEDEBUG:--all}
WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES

mkdir -p "$WINEPREFIX"
(
    flock 9
    if [ ! -e "$WINEPREFIX/.hushgate-ready" ]; then
        wineboot --init </dev/null >/dev/null 2>&1 9>&- || true
        if [ ! -d "$WINEPREFIX/drive_c/windows" ]; then
            echo "wine-run.sh: cannot make the Wine prefix $WINEPREFIX" >&2
            exit 1
        fi
        : >"$WINEPREFIX/.hushgate-ready"
    fi
    # Wine's server and background services outlive the program that starts
    # them and hold on to the descriptors it had: CTest would wait for them to
    # quit after every test, and the next caller for this lock. So they are
    # started here, without either, unless they run already (wineserver exits
    # non-zero then). The server stays five seconds after the last program
    # ends, for the next one.
    if wineserver -p5 </dev/null >/dev/null 2>&1 9>&-; then
        wineboot </dev/null >/dev/null 2>&1 9>&- || true
    fi
) 9>"$WINEPREFIX/.hushgate-lock"

exec wine "$@"
