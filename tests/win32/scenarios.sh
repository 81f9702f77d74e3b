#!/usr/bin/env bash
# The Windows window's scenarios: hushgate-scenario.exe (Hushgate.exe with
# its test seams) under Wine, driven as a user would, with real clicks and
# key presses (xdotool) on an X display of fixed size and DPI.
#
#   scenarios.sh BIN-FOLDER SCREENSHOT-FOLDER
#
# Run it inside an X server (scripts/test-windows.sh uses xvfb-run) with
# WINEPREFIX set to a prefix made for this run. Every scenario gets its own
# program folder and its own hosts file in a scratch folder; the program is
# told that hosts file with --hosts and never touches the system's.
# What is checked: the hosts file's bytes, config.ini, and the scenario log
# the program writes (--log): what each window shows, every message box
# (title and text), every address it would have opened. Never pixels. The
# screenshots of each window, in English and Russian, are for people.
set -euo pipefail

bin=$(cd "$1" && pwd)
shots=$2
mkdir -p "$shots"
shots=$(cd "$shots" && pwd)
: "${WINEPREFIX:?WINEPREFIX must name the prefix to use}"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
language_folder=$bin/Language

# How long any window gets to appear or to go away, and the program to end
# (HUSHGATE_SCENARIO_LIMIT seconds, when set):
# generous, as Wine on a loaded machine is slow; the scenarios never wait
# for a fixed time, only for what they expect.
limit=${HUSHGATE_SCENARIO_LIMIT:-90}
scratch=$(mktemp -d "${TMPDIR:-/tmp}/hushgate-scenarios-XXXXXX")
server_pid=
wine_pid=

finish() {
    [[ -n $server_pid ]] && kill "$server_pid" 2>/dev/null
    [[ -n $wine_pid ]] && kill "$wine_pid" 2>/dev/null
    wineserver -k 2>/dev/null || true
    rm -rf "$scratch"
}
trap finish EXIT

scenario=
log=
fail() {
    echo "FAIL [$scenario]: $*" >&2
    if [[ -f $log ]]; then
        echo "--- the last lines of its log:" >&2
        tail -n 40 "$log" >&2
    fi
    exit 1
}

winpath() { printf 'Z:%s' "${1//\//\\}"; }

# The text of key KEY of section SECTION in language file FILE, in UTF-8.
lng() {
    local file=$language_folder/$1.lng section=$2 key=$3 charset page
    charset=$(tr -d '\r' <"$file" | sed -n 's/^CharacterSet=//p' | head -n 1)
    case $charset in
        204) page=CP1251 ;; 161) page=CP1253 ;; 162) page=CP1254 ;; 238) page=CP1250 ;;
        *) page=CP1252 ;;
    esac
    iconv -f "$page" -t UTF-8 "$file" | tr -d '\r' |
        awk -v section="[$section]" -v key="$key" '
            /^\[/ { inside = ($0 == section); next }
            inside && index($0, key "=") == 1 { print substr($0, length(key) + 2); exit }'
}

# Polls until COMMAND succeeds, for up to $limit seconds.
wait_until() {
    local what=$1 deadline=$((SECONDS + limit))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || fail "waited $limit s for $what"
        sleep 0.2
    done
}

logged() { grep -qF -- "$1" "$log" 2>/dev/null; }
count() { grep -cF -- "$1" "$log" 2>/dev/null || true; }
expect_log() { wait_until "\"$1\" in the log" logged "$1"; }
at_least() { (($(count "$1") >= $2)); }
# Waits for the Nth line holding TEXT.
expect_nth() { wait_until "$2 lines \"$1\" in the log" at_least "$1" "$2"; }

# A fresh program folder and hosts file for scenario NAME; the hosts file
# is a copy of HOSTS-FILE. With "no-resources" the icon library is left out.
setup() {
    scenario=$1
    local from=$2 what=${3:-}
    folder=$scratch/$scenario
    mkdir -p "$folder/program" "$folder/etc"
    cp "$bin/hushgate-scenario.exe" "$folder/program/"
    cp -r "$language_folder" "$folder/program/Language"
    [[ $what == no-resources ]] || cp "$bin/resources.dll" "$folder/program/"
    hosts=$folder/etc/hosts
    cp "$from" "$hosts"
    log=$folder/log.txt
    echo "== $scenario"
}

# Starts the program (the options after the hosts file and the log are
# passed on) and waits for its main window.
start() {
    : >"$log"
    dialog_id=
    local shown_before
    shown_before=$(count "shown frmMain")
    wine "$folder/program/hushgate-scenario.exe" --hosts "$(winpath "$hosts")" \
        --log "$(winpath "$log")" "$@" >/dev/null 2>&1 &
    wine_pid=$!
    expect_nth "shown frmMain" $((shown_before + 1))
    local line
    line=$(grep -F "shown frmMain" "$log" | tail -n 1)
    main_id=$(sed -n 's/.* x11=\([0-9]*\).*/\1/p' <<<"$line")
    client_x=$(sed -n 's/.* client=\([0-9-]*\),.*/\1/p' <<<"$line")
    client_y=$(sed -n 's/.* client=[0-9-]*,\([0-9-]*\).*/\1/p' <<<"$line")
    places=$(grep -F "places " "$log" | tail -n 1)
}

# The client point of the place NAME ("language", "cmdBlockFB" ...).
place() { sed -n "s/.* $1=\([0-9]*\),\([0-9]*\).*/\1 \2/p" <<<" $places"; }

# Clicks the main window at client point X Y.
click_main() { xdotool mousemove $((client_x + $1)) $((client_y + $2)) click 1; }
click_place() {
    local point
    read -r -a point <<<"$(place "$1")"
    click_main "${point[@]}"
}
# A click on the white panel: the window gets the keyboard, no button has it.
focus_main() { click_main 300 60; }
keys() { xdotool key --delay 80 "$@"; }

# The X windows titled exactly TITLE, other than the program's own windows.
boxes_titled() {
    local title=$1 id
    for id in $(xdotool search --name "^$(sed 's/[][\.*^$+?(){}|/]/\\&/g' <<<"$title")\$" 2>/dev/null); do
        [[ $id == "$main_id" || $id == "${dialog_id:-}" ]] || echo "$id"
    done
}
has_box() { [[ -n $(boxes_titled "$1") ]]; }
no_box() { [[ -z $(boxes_titled "$1") ]]; }

# Waits for a message box titled TITLE saying TEXT (both as the log has
# them), presses KEY on it, and waits for it to go.
answer_box() {
    local title=$1 text=$2 key=${3:-Return} before
    before=$(count "message-box-closed $title |")
    expect_log "message-box $title | $text"
    wait_until "a message box titled \"$title\"" has_box "$title"
    local box
    box=$(boxes_titled "$title" | head -n 1)
    xdotool windowfocus --sync "$box" 2>/dev/null || true
    keys "$key"
    expect_nth "message-box-closed $title |" $((before + 1))
    wait_until "the box \"$title\" to go" no_box "$title"
}

# Waits for dialog NAME to be shown; sets dialog_id.
expect_dialog() {
    local before=$2
    expect_nth "shown $1" $((before + 1))
    dialog_id=$(grep -F "shown $1" "$log" | tail -n 1 | sed -n 's/.* x11=\([0-9]*\).*/\1/p')
}

# Saves window X11-ID as SHOTS/NAME.png once it has finished painting: two
# captures in a row alike.
capture() { xwd -id "$1" -silent | xwdtopnm 2>/dev/null | pnmtopng >"$2"; }
settled() {
    capture "$1" "$scratch/shot.png"
    cmp -s "$scratch/shot.png" "$scratch/shot-before.png" && return 0
    mv "$scratch/shot.png" "$scratch/shot-before.png"
    sleep 0.3
    return 1
}
screenshot() {
    rm -f "$scratch/shot-before.png"
    wait_until "window $1 to finish painting" settled "$2"
    mv "$scratch/shot.png" "$shots/$1.png"
}

# The X window of an open menu: shown, and none of the program's windows.
open_menu() {
    local id
    for id in $(xwininfo -root -children 2>/dev/null | awk '/^ +0x/ { print $1 }'); do
        ((id == main_id)) && continue
        xwininfo -id "$id" 2>/dev/null | grep -q "IsViewable" && { echo $((id)); return 0; }
    done
    return 1
}
# Opens the Help menu from the keyboard, saves it as SHOTS/NAME.png, closes it.
screenshot_help_menu() {
    focus_main
    keys F10 Right
    wait_until "the Help menu" open_menu
    screenshot "$1" "$(open_menu)"
    keys Escape Escape Escape
}

running() { kill -0 "$wine_pid" 2>/dev/null; }
# Closes the main window with Alt+F4 and waits for the program to end.
quit_program() {
    focus_main
    keys alt+F4
    expect_log "exit"
    wait_until "the program to end" bash -c "! kill -0 $wine_pid 2>/dev/null"
    wine_pid=
}

# The hosts file holds exactly the bytes of file EXPECTED.
same_bytes() { cmp -s "$hosts" "$1" || fail "$2: the hosts file is not as expected"; }

# What the hosts files hold: the original lines, and the same followed by the
# 68 entries (as hushgate-cli.exe lists them), CR LF after every line.
original=$scratch/original
blocked=$scratch/blocked
printf '127.0.0.1 localhost\r\n::1 localhost\r\n# kept as it is\r\n' >"$original"
{
    cat "$original"
    wine "$bin/hushgate-cli.exe" list 2>/dev/null | tr -d '\r' | awk '{ printf "%s %s\r\n", $1, $2 }'
} >"$blocked"
if [[ $(grep -c $'^127\\.0\\.0\\.1 .*\r$' "$blocked") != 69 ]]; then
    scenario=setup
    fail "hushgate-cli.exe list did not give the 68 entries"
fi

# A Wine server started earlier without a display (the test programs, the
# command-line tool) would keep its display-less desktop for every later
# program: start afresh, on this display.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true

# Wine draws the windows' frames itself (no window manager here) and keeps
# 96 dots per inch; a crash ends the program instead of opening a debugger.
cat >"$scratch/settings.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Decorated"="N"
"Managed"="N"

[HKEY_CURRENT_USER\Control Panel\Desktop]
"LogPixels"=dword:00000060

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
REG
wine regedit /S "$(winpath "$scratch/settings.reg")" >/dev/null 2>&1

# Wine's dots per inch for the programs started after it: the registry, then
# a fresh server that reads it.
set_dpi() {
    printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:%08x\n' "$1" \
        >"$scratch/dpi.reg"
    wine regedit /S "$(winpath "$scratch/dpi.reg")" >/dev/null 2>&1
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
}

close_browser=$(lng English Main 15)
title="Tavrin Hushgate"
passed=()

# --- Not blocked at start: Enter blocks, Tab and Space unblock, a click blocks.
setup unblocked-start "$original"
start
expect_log "state unblocked"
logged "buttons cmdBlockFB=on cmdUnblockFB=off" || fail "Block must be the one button enabled"
focus_main
keys Return
answer_box "$title" "$close_browser"
same_bytes "$blocked" "Enter (Block)"
logged "state blocked" || fail "no blocked state after Block"
# Block is disabled now; Tab passes over it to Unblock, Space presses it.
focus_main
keys Tab space
expect_nth "message-box $title | $close_browser" 2
answer_box "$title" "$close_browser"
same_bytes "$original" "Tab, Space (Unblock)"
click_place cmdBlockFB
expect_nth "message-box $title | $close_browser" 3
answer_box "$title" "$close_browser"
same_bytes "$blocked" "a click on Block"
# The clicked Block is disabled now; its focus must not pass to Unblock, so
# Enter does nothing. About (from the toolbar) marks that the key was handled.
keys Return
click_place about
expect_dialog frmAbout 0
[[ $(count "message-box $title") == 3 ]] || fail "Enter after a click on Block showed a message"
same_bytes "$blocked" "Enter after a click on Block"
keys Escape
expect_log "closed frmAbout"
quit_program
passed+=("not blocked at start; Block with Enter, Unblock with Tab and Space, Block with a click, then Enter does nothing; CR LF bytes")

# --- Blocked at start: Enter changes nothing; About from the keyboard; Unblock with a click.
setup blocked-start "$blocked"
start
expect_log "state blocked"
logged "buttons cmdBlockFB=off cmdUnblockFB=on" || fail "Unblock must be the one button enabled"
focus_main
keys Return
# The keys are handled in order: once About (F10, Help, its fifth item) is
# up, the Enter before it has been handled, and it must have done nothing.
keys F10 Right Down Down Down Down Return
expect_dialog frmAbout 0
logged "message-box" && fail "Enter in the blocked state showed a message"
same_bytes "$blocked" "Enter while blocked"
logged "text frmAbout.frmAbout $(lng English About 1)" || fail "About's title is not the language file's"
screenshot about-english "$dialog_id"
keys Escape
expect_log "closed frmAbout"
click_place cmdUnblockFB
answer_box "$title" "$close_browser"
same_bytes "$original" "a click on Unblock"
# Another program blocks: the window sees the file change and follows.
cp "$blocked" "$hosts"
expect_nth "state blocked" 2
last_buttons_blocked() {
    [[ $(grep -F "buttons " "$log" | tail -n 1) == "buttons cmdBlockFB=off cmdUnblockFB=on" ]]
}
wait_until "the buttons to follow the file blocked by another program" last_buttons_blocked
quit_program
[[ $(cat "$folder/program/config.ini") == $'[Settings]\r\nLanguage=English\r' ]] ||
    fail "config.ini after exit: $(od -c "$folder/program/config.ini" | head -n 3)"
passed+=("blocked at start; Enter changes nothing; About by F10 and closed by Esc; Unblock with a click; a block by another program followed")

# --- A language switched, previewed, applied, and in force after a restart.
setup language "$original"
start
screenshot main-english "$main_id"
screenshot_help_menu help-menu-english
click_place language
expect_dialog frmLanguage 0
logged "text frmLanguage.cboLanguage English" || fail "the language in force is not selected"
screenshot language-english "$dialog_id"
# The list is sorted: English, French, German, Greek, ... Portuguese, Russian.
keys Down Down Down
expect_log "preview Greek"
logged "text frmLanguage.frmLanguage $(lng Greek Tray 3)" || fail "Greek title not decoded"
logged "text frmLanguage.cmdCancel $(lng Greek Tray 6)" || fail "Greek Cancel not decoded"
keys Down Down Down Down
expect_log "preview Russian"
logged "text frmLanguage.frmLanguage $(lng Russian Tray 3)" || fail "Russian title not decoded"
logged "text frmLanguage.lblSelect $(lng Russian Tray 4)" || fail "Russian Select not decoded"
screenshot language-russian-preview "$dialog_id"
keys Return
answer_box "$(lng Russian Tray 8)" "$(lng Russian Tray 7)"
expect_log "closed frmLanguage"
quit_program
[[ $(cat "$folder/program/config.ini") == $'[Settings]\r\nLanguage=Russian\r' ]] ||
    fail "config.ini after Apply and exit: $(od -c "$folder/program/config.ini" | head -n 3)"
start
for pair in "cmdBlockFB Main 13" "lblStatus Main 10" "mnuFile Main 1" "Toolbar1Button2 Main 5"; do
    read -r control section key <<<"$pair"
    # The menus' captions come with the access key the window gives them.
    logged "text frmMain.$control $([[ $control == mnu* ]] && printf '&')$(lng Russian "$section" "$key")" ||
        fail "after the restart $control is not Russian $section $key"
done
screenshot main-russian "$main_id"
screenshot_help_menu help-menu-russian
click_place about
expect_dialog frmAbout 0
logged "text frmAbout.lblThis $(lng Russian About 3)" || fail "About is not in Russian"
screenshot about-russian "$dialog_id"
keys Return
expect_log "closed frmAbout"
click_place language
expect_dialog frmLanguage 0
logged "text frmLanguage.cboLanguage Russian" || fail "Russian is not selected after the restart"
screenshot language-russian "$dialog_id"
keys Escape
expect_log "closed frmLanguage"
quit_program
passed+=("language previewed (Greek, Russian), applied, in force after a restart; About and the dialog in Russian")

# --- No resources.dll: told once, and the window works without toolbar pictures.
setup no-resources "$original" no-resources
start
answer_box "$title" '"Resources.dll" is missing!'
logged "toolbar-image" && fail "toolbar pictures without resources.dll"
quit_program
passed+=("missing resources.dll reported, the window still opens")

# --- The update check against a server on 127.0.0.1.
setup update "$original"
mkdir -p "$folder/site/version"
printf '1.2' >"$folder/site/version/hushgate.txt"
python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$folder/site" >"$folder/server.txt" 2>&1 &
server_pid=$!
wait_until "the web server" grep -q "port [0-9]" "$folder/server.txt"
port=$(sed -n 's/.* port \([0-9]*\).*/\1/p' "$folder/server.txt" | head -n 1)
start --version-file "http://127.0.0.1:$port/version/hushgate.txt"
focus_main
keys F10 Right Return
answer_box "$title" "$(lng English Main 16)\n$(lng English About 2) 1.2\n\n$(lng English Main 17)" Return
expect_log "open http://"
printf '1.1' >"$folder/site/version/hushgate.txt"
focus_main
keys F10 Right Return
answer_box "$title" "$(lng English Main 18)"
quit_program
passed+=("update check against 127.0.0.1: a newer version offered and opened, then nothing new")

# --- The menus from the keyboard: access keys from the captions, F10, Alt.
setup keyboard-menus "$original"
start
for pair in "mnuFile &File" "mnuHelp &Help" "mnuExit &Exit" "mnuLanguage C&hange language"; do
    logged "text frmMain.${pair%% *} ${pair#* }" || fail "menu caption ${pair%% *} is not ${pair#* }"
done
# Alt and Help's letter open Help on its first item; four down is About.
focus_main
keys alt+h Down Down Down Down Return
expect_dialog frmAbout 0
keys Escape
expect_log "closed frmAbout"
# Alt alone moves to the menu bar (File); Down opens it, Return runs Exit.
focus_main
keys alt Down Return
expect_log "exit"
wait_until "the program to end after Alt, Down, Return" bash -c "! kill -0 $wine_pid 2>/dev/null"
# Tab reaches the address (after Block; Unblock is disabled) and Enter opens
# it; nothing is blocked on the way.
start
focus_main
keys Tab Tab Return
expect_log "open http://"
logged "message-box" && fail "Enter on the focused address showed a message"
same_bytes "$original" "Enter on the focused address"
# The next Tab reaches the toolbar: the arrows mark a button (the first,
# then About), Enter presses it.
keys Tab Right Right Return
expect_dialog frmAbout 0
keys Escape
expect_log "closed frmAbout"
same_bytes "$original" "keys on the toolbar"
quit_program
# F10 opens File on its first item: Return runs Exit.
start
focus_main
keys F10 Return
expect_log "exit"
wait_until "the program to end after F10, Return" bash -c "! kill -0 $wine_pid 2>/dev/null"
wine_pid=
passed+=("menus from the keyboard: access keys given, Alt+H opens Help, Alt alone the menu bar, F10 then Return runs Exit; Tab reaches the address and the toolbar, Enter opens and presses them")

# --- Screen readers and screen scales: the labels read as text, the
# pictures as pictures; at 96, 144 and 192 dots per inch the
# toolbar takes the frames of 24, 32 and 48 pixels and the title bar icons
# of the system's sizes, each drawn for its size.
setup scales "$original"
for row in "96 #1 2440 24x24 32 16" "144 #2 4264 32x32 48 24" "192 #4 9640 48x48 64 32"; do
    read -r dpi number bytes pixels big small <<<"$row"
    set_dpi "$dpi"
    start
    for role in lblStatus=text lblStatusEnd=text imgLogo=graphic imgBlocked=graphic \
        imgStatusUnblocked=graphic; do
        logged "role frmMain.${role%%=*} ${role#*=}" || fail "${role%%=*} is not read as ${role#*=}"
    done
    [[ $(grep -F "toolbar-image" "$log" | tr '\n' ' ') == "toolbar-image $number $bytes $pixels "* ]] ||
        fail "at $dpi DPI the toolbar's first frame is not $number ($pixels)"
    logged "window-icons AAA $big $small" || fail "at $dpi DPI the window icons are not $big and $small"
    screenshot "main-$dpi-dpi" "$main_id"
    quit_program
done
set_dpi 96
passed+=("labels and pictures read as text and graphic; toolbar frames and window icons at 96, 144 and 192 DPI")

# --- A damaged language file chosen: English, one message naming the file and
# why, and config.ini keeps the choice. A partly blocked file says how much of
# the block is there in the status line's tool tip.
setup damaged-language "$original"
printf '\x9c\x01\xff[Ma\x80in\n=\xee' >"$folder/program/Language/Broken.lng"
printf '[Settings]\r\nLanguage=Broken\r\n' >"$folder/program/config.ini"
{ cat "$original"; grep -m 1 -F "127.0.0.1 www.facebook.com" "$blocked"; } >"$hosts"
start
answer_box "$title" "The language file $(winpath "$folder/program/Language/Broken.lng") cannot be used: no [Main] section; showing English."
logged "text frmMain.cmdBlockFB $(lng English Main 13)" || fail "not in English"
logged "status-tip 1 of 68 entries present" || fail "no tool tip for the partly blocked file"
click_place cmdBlockFB
answer_box "$title" "$close_browser"
[[ $(grep -F "status-tip" "$log" | tail -n 1) == "status-tip" ]] || fail "the tool tip stayed after Block"
quit_program
[[ $(cat "$folder/program/config.ini") == $'[Settings]\r\nLanguage=Broken\r' ]] ||
    fail "config.ini lost the choice: $(od -c "$folder/program/config.ini" | head -n 3)"
passed+=("damaged language file: English and one message naming it; config.ini keeps it; a partly blocked file's tool tip")

echo "Windows window under Wine: ${#passed[@]} scenarios passed"
for line in "${passed[@]}"; do
    echo "  passed: $line"
done
echo "${#passed[@]} passed, 0 failed"
