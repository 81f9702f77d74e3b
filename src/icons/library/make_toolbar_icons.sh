#!/usr/bin/env bash
# Redraws the five toolbar icons of resources.dll (separator.ico,
# language.ico, about.ico, web.ico, facebook.ico in this folder) from
# make_toolbar_icons.cpp. Afterwards run build-resources-dll.sh.
#
#   bash src/icons/library/make_toolbar_icons.sh
#
# Needs: cmake, a C++20 compiler, Qt 6 (Gui) and icoutils (icotool).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
for tool in cmake icotool; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "make_toolbar_icons.sh: '$tool' is required but not installed" >&2
        exit 1
    fi
done

work="$(mktemp -d "${TMPDIR:-/tmp}/hushgate-toolbar-icons.XXXXXX")"
trap 'rm -rf "$work"' EXIT

cmake -S "$here" -B "$work/build" -DCMAKE_BUILD_TYPE=Release >"$work/configure.log" 2>&1 \
    || { cat "$work/configure.log" >&2; exit 1; }
cmake --build "$work/build" >"$work/build.log" 2>&1 \
    || { cat "$work/build.log" >&2; exit 1; }

mkdir -p "$work/runtime" && chmod 700 "$work/runtime"
QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/runtime" \
    "$work/build/make_toolbar_icons" "$work/frames"

# One 24 x 24, 32-bit image per icon file.
for name in separator language about web facebook; do
    icotool -c -b 32 -o "$here/$name.ico" "$work/frames/$name.png"
    echo "  $name.ico"
done
