#!/usr/bin/env bash
# Builds resources.dll, the icon library beside the program, from
# toolbar_icons.rc and the .ico files in this folder. The result is committed,
# so building the program never needs MinGW; run this after changing an icon
# (make_toolbar_icons.sh redraws them).
#
#   bash src/icons/library/build-resources-dll.sh
#
# Needs MinGW-w64's binutils (Debian: binutils-mingw-w64-x86-64). The DLL holds
# resources only: no code, no entry point, no imports. The link leaves out the
# time stamp, so the same icons always give the same bytes.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
prefix="${MINGW_PREFIX:-x86_64-w64-mingw32}"
for tool in "$prefix-windres" "$prefix-ld"; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "build-resources-dll.sh: '$tool' is required but not installed" >&2
        exit 1
    fi
done

work="$(mktemp -d "${TMPDIR:-/tmp}/hushgate-resources-dll.XXXXXX")"
trap 'rm -rf "$work"' EXIT

# windres numbers the icon images 1, 2, ... in the order of the ICON lines.
(cd "$here" && "$prefix-windres" --input-format=rc --output-format=coff \
    -o "$work/toolbar_icons.o" toolbar_icons.rc)
"$prefix-ld" --dll --entry=0 --no-insert-timestamp --strip-all \
    --subsystem windows -o "$work/resources.dll" "$work/toolbar_icons.o"

install -m 644 "$work/resources.dll" "$here/resources.dll"
echo "Wrote $here/resources.dll ($(wc -c <"$here/resources.dll") bytes)"
