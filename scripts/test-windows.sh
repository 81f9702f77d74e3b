#!/usr/bin/env bash
# The Windows stage: installs MinGW-w64, Wine, Xvfb and the rest when
# missing, cross-builds (optimised, as shipped) the Qt-free libraries (the
# windows' presenter among them), their tests, hushgate-cli.exe and the
# window Hushgate.exe in build-win-tests/, and in a scratch Wine prefix runs
#   - every Windows test program (CTest, through cmake/wine-run.sh), the
#     presenter's (presenter_tests) included,
#   - hushgate-cli.exe on a scratch hosts file: status, block, unblock, with
#     the exact CR LF bytes checked, and again on a path beyond ASCII, in a
#     pipe and in a console;
# then compiles hushgate.rc with windres and checks with wrestool that the
# version record, the manifest, the icon groups and the menu images are in,
# and that both built programs carry their manifests and one version;
# then drives the window under Wine on Xvfb through its scenarios
# (tests/win32/scenarios.sh), saving a screenshot of each window in English
# and Russian to build-win-tests/screenshots/; last, CPack makes the ZIP and
# the setup program in build-win-tests/, and the setup is tried: a silent
# install for all users with its Start-menu entry and its uninstall entry,
# the installed hushgate-cli.exe on Wine's own hosts file (block; the setup
# run again keeps it; unblock refused while the file is read-only), and a
# silent uninstall, which removes the block, config.ini and the folder.
#
# HUSHGATE_SKIP_WINDOWS=1 skips the stage on a developer's machine; CI
# (CI=true) runs it regardless.
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ ${HUSHGATE_SKIP_WINDOWS:-} == 1 ]]; then
    if [[ ${CI:-} != true ]]; then
        echo "Windows stage skipped (HUSHGATE_SKIP_WINDOWS=1)."
        exit 0
    fi
    echo "HUSHGATE_SKIP_WINDOWS=1 is ignored in CI."
fi

start=$SECONDS
bash scripts/install-deps.sh windows

mingw=x86_64-w64-mingw32
build=build-win-tests
scratch=$(mktemp -d "${TMPDIR:-/tmp}/hushgate-windows-XXXXXX")
export WINEPREFIX=$scratch/wineprefix
export WINEDEBUG=-all
wine_run=(cmake/wine-run.sh "$WINEPREFIX")

finish() {
    # Wine's server and services go with the prefix.
    if [[ -d $WINEPREFIX ]]; then
        wineserver -k 2>/dev/null || true
        wineserver -w 2>/dev/null || true
    fi
    rm -rf "$scratch"
}
trap finish EXIT

echo "== Windows: cross-build ($((SECONDS - start)) s)"
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
    -DCMAKE_BUILD_TYPE=Release -DHUSHGATE_BUILD_GUI=OFF -DHUSHGATE_BUILD_BENCH=OFF \
    -DHUSHGATE_BUILD_TESTS=ON
cmake --build "$build" -j "$(nproc)"

echo "== Windows: test programs under Wine, $(wine --version) ($((SECONDS - start)) s)"
(cd "$build" && ctest --output-on-failure -j "$(nproc)")

echo "== Windows: hushgate-cli.exe under Wine ($((SECONDS - start)) s)"
fail() {
    echo "hushgate-cli.exe: $*" >&2
    exit 1
}
cli_dir=$scratch/cli
mkdir "$cli_dir"
hosts=$cli_dir/hosts
win_hosts="Z:${hosts//\//\\}"
original=$'127.0.0.1 localhost\r\n::1 localhost\r\n# kept as it is\r\n'
printf '%s' "$original" >"$hosts"

# Runs the CLI on the scratch file; sets $out (CR LF turned into LF) and $code.
cli() {
    code=0
    out=$("${wine_run[@]}" "$build/bin/hushgate-cli.exe" --hosts "$win_hosts" "$@" \
          2>"$cli_dir/err") || code=$?
    out=${out//$'\r'/}
    if [[ -s $cli_dir/err ]]; then
        fail "$1 wrote to standard error: $(cat "$cli_dir/err")"
    fi
    rm -f "$cli_dir/err"
}

cli status
[[ $code == 1 && $out == "Facebook is not blocked (0 of 68 entries present in $win_hosts)" ]] ||
    fail "status before block: exit code $code, output: $out"

cli list
mapfile -t entries < <(awk '{ print $1 " " $2 }' <<<"$out")
[[ $code == 0 && ${#entries[@]} == 68 && ${entries[0]} == "127.0.0.1 www.facebook.com" ]] ||
    fail "list: exit code $code, ${#entries[@]} entries"

cli block
[[ $code == 0 ]] || fail "block: exit code $code, output: $out"
printf '%s' "$original" >"$cli_dir/expected"
printf '%s\r\n' "${entries[@]}" >>"$cli_dir/expected"
cmp "$hosts" "$cli_dir/expected" || fail "block did not write the CR LF lines expected"

cli status
[[ $code == 0 && $out == "Facebook is blocked (68 of 68 entries present in $win_hosts)" ]] ||
    fail "status after block: exit code $code, output: $out"

cli unblock
[[ $code == 0 ]] || fail "unblock: exit code $code, output: $out"
cmp "$hosts" <(printf '%s' "$original") || fail "unblock did not give back the original bytes"
rm "$cli_dir/expected"
[[ $(ls -A "$cli_dir") == hosts ]] || fail "files left beside the hosts file: $(ls -A "$cli_dir")"
echo "status, list, block, status, unblock: CR LF bytes as expected"

echo "== Windows: hushgate-cli.exe on a path beyond ASCII ($((SECONDS - start)) s)"
# Wine turns Unix arguments into UTF-16 by the locale's character set, and
# a terminal's UTF-16 back into it. The program takes its arguments in
# UTF-16; it writes UTF-8 to a pipe and UTF-16 to a console.
export LC_ALL=C.UTF-8
uni_hosts="$cli_dir/Ordner ü/hösts"
win_uni="Z:${uni_hosts//\//\\}"
mkdir "$cli_dir/Ordner ü"
printf '%s' "$original" >"$uni_hosts"
uni() {
    "${wine_run[@]}" "$build/bin/hushgate-cli.exe" --hosts "$win_uni" "$@" | tr -d '\r'
}
out=$(uni block) || fail "block: exit code $?"
[[ $out == "Facebook is blocked: 68 entries written to $win_uni" ]] || fail "block: $out"
cmp "$uni_hosts" <(printf '%s' "$original"; printf '%s\r\n' "${entries[@]}") ||
    fail "block did not write the CR LF lines expected"
# On a terminal, through Wine's console: one wide enough for the line, its
# control sequences left out.
out=$(CLI="$build/bin/hushgate-cli.exe" HOSTS="$win_uni" script -qec \
          'stty cols 1000; cmake/wine-run.sh "$WINEPREFIX" "$CLI" --hosts "$HOSTS" status' /dev/null |
      sed 's/\x1b\[[0-9;?]*[A-Za-z]//g' | tr -d '\r') || fail "status in a console: exit code $?"
[[ $out == "Facebook is blocked (68 of 68 entries present in $win_uni)" ]] ||
    fail "status in a console: $out"
out=$(uni unblock) || fail "unblock: exit code $?"
[[ $out == "Facebook is unblocked: 68 entry lines removed from $win_uni" ]] || fail "unblock: $out"
cmp "$uni_hosts" <(printf '%s' "$original") || fail "unblock did not give back the original bytes"
unset LC_ALL
echo "block, status in a console, unblock of $win_uni: as expected"

echo "== Windows: resources of Hushgate.exe ($((SECONDS - start)) s)"
res=$scratch/resources
mkdir "$res"
"$mingw-windres" -I src/resources -i src/resources/hushgate.rc -O coff -o "$res/hushgate_rc.o"
printf 'int main(void) { return 0; }\n' >"$res/main.c"
"$mingw-gcc" -o "$res/resources.exe" "$res/main.c" "$res/hushgate_rc.o"
missing=()
has() {  # has WHAT WRESTOOL-SELECTION...
    local what=$1
    shift
    [[ -n $(wrestool -l "$@" "$res/resources.exe") ]] || missing+=("$what")
}
same() {  # same FILE WRESTOOL-SELECTION...: the resource holds exactly FILE
    local file=$1
    shift
    wrestool -x --raw "$@" "$res/resources.exe" | cmp -s - "$file" || missing+=("$file")
}
has "version record" --type=16 --name=1
same src/resources/hushgate.manifest --type=24 --name=1
for group in AAA FFF ZZZ; do
    has "icon group $group" --type=14 --name="$group"
done
for n in 0 1 2 3 4; do
    same "src/resources/pictures/PNG_$n.png" --type=CUSTOM --name="PNG_$n"
done
if ((${#missing[@]} > 0)); then
    printf 'hushgate.rc: missing or different: %s\n' "${missing[@]}" >&2
    exit 1
fi
echo "version record, manifest, icon groups AAA FFF ZZZ, PNG_0 to PNG_4: present"

echo "== Windows: resources of the built programs ($((SECONDS - start)) s)"
# Each carries its own manifest, well-formed (Windows refuses to start a
# program whose manifest is not), and one version record: the same numbers.
fixed_version() {  # PROGRAM: the version record's fixed part, in hex
    wrestool -x --raw --type=16 --name=1 "$1" |
        python3 -c 'import sys; d = sys.stdin.buffer.read(); i = d.find(bytes.fromhex("bd04effe")); print(d[i:i + 52].hex() if i >= 0 else "none")'
}
for program in Hushgate:src/resources/hushgate.manifest hushgate-cli:src/cli/hushgate-cli.manifest; do
    exe=$build/bin/${program%%:*}.exe manifest=${program#*:}
    wrestool -x --raw --type=24 --name=1 "$exe" | cmp -s - "$manifest" || missing+=("$exe: $manifest")
    xmllint --noout "$manifest" || missing+=("well-formed $manifest")
done
gui_version=$(fixed_version "$build/bin/Hushgate.exe")
[[ $gui_version != none && $gui_version == "$(fixed_version "$build/bin/hushgate-cli.exe")" ]] ||
    missing+=("the same version record in both programs")
if ((${#missing[@]} > 0)); then
    printf 'missing or different: %s\n' "${missing[@]}" >&2
    exit 1
fi
echo "Hushgate.exe, hushgate-cli.exe: their manifests, one version"

echo "== Windows: the window Hushgate.exe under Wine on Xvfb ($((SECONDS - start)) s)"
shots=$build/screenshots
rm -rf "$shots"
xvfb-run -a -s "-screen 0 1600x1200x24 -dpi 96 -nolisten tcp" \
    bash tests/win32/scenarios.sh "$build/bin" "$shots"
echo "screenshots of every window, English and Russian: $shots/"

echo "== Windows: ZIP and setup program ($((SECONDS - start)) s)"
rm -f "$build"/Tavrin-Hushgate-*-win64*
(cd "$build" && cpack -G "ZIP;NSIS" >/dev/null)
zip=$(ls "$build"/Tavrin-Hushgate-*-win64.zip)
setup=$(ls "$build"/Tavrin-Hushgate-*-win64-setup.exe)
listing=$(python3 -m zipfile -l "$zip")
for file in Hushgate.exe hushgate-cli.exe resources.dll Language/English.lng Language/Russian.lng; do
    grep -q "/$file " <<<"$listing" || { echo "$zip lacks $file" >&2; exit 1; }
done
WINEDLLOVERRIDES=mscoree,mshtml= wine "$setup" /S
wineserver -w
installed="$WINEPREFIX/drive_c/Program Files/Tavrin Hushgate"
for file in Hushgate.exe hushgate-cli.exe resources.dll Language/English.lng Uninstall.exe; do
    [[ -f $installed/$file ]] || { echo "the setup did not install $file" >&2; exit 1; }
done
programs="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
[[ -f "$programs/Tavrin Hushgate.lnk" && ! -e "$programs/Tavrin Hushgate" ]] ||
    { echo "the setup made no Start-menu entry for all users, or a folder for it" >&2; exit 1; }
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tavrin Hushgate'
for value in NoModify NoRepair EstimatedSize; do
    wine reg query "$key" /v "$value" 2>/dev/null | tr -d '\r' |
        grep -Eq "^ +$value +REG_DWORD +0x(1|[0-9a-fA-F]{3,})$" ||
        { echo "the uninstall entry has no number $value" >&2; exit 1; }
done
echo "$(basename "$zip"), $(basename "$setup"): installed for all users, one Start-menu entry"

echo "== Windows: the installed hushgate-cli.exe, a read-only hosts file, the uninstaller ($((SECONDS - start)) s)"
# On Wine's own hosts file, in the scratch prefix.
wine_hosts="$WINEPREFIX/drive_c/windows/system32/drivers/etc/hosts"
[[ -f $wine_hosts ]] || printf '127.0.0.1 localhost\r\n' >"$wine_hosts"
hosts_before=$(sha256sum <"$wine_hosts")
installed_cli() {  # sets $out (standard output and error, without CR) and $code
    code=0
    out=$("${wine_run[@]}" "$installed/hushgate-cli.exe" "$@" 2>&1) || code=$?
    out=${out//$'\r'/}
}
installed_cli block
[[ $code == 0 && $out == "Facebook is blocked: 68 entries written to "* ]] || fail "block: $code, $out"
shown=${out#Facebook is blocked: 68 entries written to }
# The setup run again (an upgrade) keeps the block and the settings.
printf '[Settings]\r\nLanguage=English\r\n' >"$installed/config.ini"
blocked=$(sha256sum <"$wine_hosts")
WINEDLLOVERRIDES=mscoree,mshtml= wine "$setup" /S
wineserver -w
[[ $(sha256sum <"$wine_hosts") == "$blocked" && -f $installed/config.ini && -f $installed/Hushgate.exe ]] ||
    fail "the setup run again removed the block, config.ini or the program"
wine attrib +r "$shown" >/dev/null 2>&1
installed_cli unblock
[[ $code == 3 && $out == "hushgate-cli: cannot write $shown: the file is marked read-only (the read-only attribute), which administrator rights do not override; nothing was written. To clear the mark: attrib -r \"$shown\"" ]] ||
    fail "unblock of a read-only hosts file: exit code $code, output: $out"
wine attrib -r "$shown" >/dev/null 2>&1
grep -q "127.0.0.1 www.facebook.com" "$wine_hosts" || fail "the read-only hosts file was changed"
wine "$installed/Uninstall.exe" /S
wineserver -w
uninstalled() { echo "the silent uninstall $*" >&2; exit 1; }
[[ $(sha256sum <"$wine_hosts") == "$hosts_before" ]] || uninstalled "left the block in $shown"
[[ ! -e $installed && ! -e "$programs/Tavrin Hushgate.lnk" ]] ||
    uninstalled "left $(ls -A "$installed" "$programs/Tavrin Hushgate.lnk" 2>&1 | xargs)"
echo "blocked with the installed program; kept by an upgrade; read-only: named, with attrib -r; uninstalled: block, config.ini and folder gone"

echo "== Windows stage passed in $((SECONDS - start)) s"
