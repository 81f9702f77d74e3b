#!/usr/bin/env bash
# Regenerates Hushgate's bitmaps from make_artwork.cpp:
#
#   bash tools/artwork/make_artwork.sh             every bitmap in src/resources/pictures/
#   bash tools/artwork/make_artwork.sh --toolbar   the five .ico files of
#       src/icons/library/ (afterwards run build-resources-dll.sh there)
#   bash tools/artwork/make_artwork.sh --desktop   packaging/icons/hicolor/<size>.png
#
# Needs: cmake, a C++20 compiler, Qt 6 (Gui) and icoutils (icotool).
# Builds make_artwork in a temporary folder, lets it draw the pictures and the
# icon/cursor frames, assembles the .ico and .cur files with icotool and copies
# the results over the files named above. Nothing else is touched.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
mode="${1:-}"
case "$mode" in
    "" | --toolbar | --desktop) ;;
    *) echo "usage: make_artwork.sh [--toolbar | --desktop]" >&2; exit 2 ;;
esac
resources="$(cd "$here/../../src/resources/pictures" 2>/dev/null && pwd || true)"
if [[ -z "$resources" ]]; then
    mkdir -p "$here/../../src/resources/pictures"
    resources="$(cd "$here/../../src/resources/pictures" && pwd)"
fi

for tool in cmake icotool; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "make_artwork.sh: '$tool' is required but not installed" >&2
        exit 1
    fi
done

work="$(mktemp -d "${TMPDIR:-/tmp}/hushgate-artwork.XXXXXX")"
trap 'rm -rf "$work"' EXIT

echo "Building make_artwork in $work/build"
cmake -S "$here" -B "$work/build" -DCMAKE_BUILD_TYPE=Release >"$work/configure.log" 2>&1 \
    || { cat "$work/configure.log" >&2; exit 1; }
cmake --build "$work/build" >"$work/build.log" 2>&1 \
    || { cat "$work/build.log" >&2; exit 1; }

frames="$work/frames"
out="$work/out"
mkdir -p "$frames" "$out" "$work/runtime"
chmod 700 "$work/runtime"

echo "Drawing"
QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/runtime" "$work/build/make_artwork" $mode "$frames"

if [[ $mode == --desktop ]]; then
    hicolor="$here/../../packaging/icons/hicolor"
    cp "$frames"/*.png "$hicolor/"
    echo "Wrote to $hicolor"
    exit 0
fi
if [[ $mode == --toolbar ]]; then
    # 32-bit frames of 24, 32, 40 and 48 pixels per icon file, 24 first:
    # the toolbar at 100 % takes it, larger scales the frame nearest their
    # size.
    library="$here/../../src/icons/library"
    for name in separator language about web facebook; do
        icotool -c -b 32 -o "$library/$name.ico" "$frames/$name"-{24,32,40,48}.png
        echo "  $name.ico"
    done
    exit 0
fi

cd "$frames"

# Finished pictures.
cp PNG_0.png PNG_1.png PNG_2.png PNG_3.png PNG_4.png PNG_?@2x.png logo.jpg blocked.jpg unblocked.jpg \
    logo@2x.jpg blocked@2x.jpg unblocked@2x.jpg padlock_closed@2x.png padlock_open@2x.png "$out/"

# Icons. icotool's -b applies to every frame after it; frames are stored in
# the order given. The main icon's first six frames are its classic ones; the
# larger scales' follow, the 256-pixel one stored as PNG (-r), as Windows
# keeps it, which makes it a fraction of its bitmap's size.
icotool -c -o "$out/AAA.ico" \
    -b 8 AAA-48-8.png AAA-32-8.png AAA-16-8.png \
    -b 32 AAA-48-32.png AAA-32-32.png AAA-16-32.png \
    AAA-24-32.png AAA-64-32.png AAA-128-32.png -r AAA-256-32.png
icotool -c -o "$out/FFF.ico" -b 32 FFF-16-32.png
icotool -c -o "$out/ZZZ.ico" -b 32 ZZZ-16-32.png
icotool -c -o "$out/generic.ico" -b 1 generic-32-1.png -b 4 generic-32-4.png generic-16-4.png
icotool -c -o "$out/window16.ico" -b 8 window16-16-8.png
icotool -c -o "$out/padlock_closed.ico" -b 8 padlock_closed-16-8.png
icotool -c -o "$out/padlock_open.ico" -b 8 padlock_open-16-8.png

# Pointers. The icon's hot spot is its centre, where the finger tip is drawn;
# the cursor carries its own hot spot, the finger tip at (6, 0).
icotool -c -o "$out/hand.ico" -b 4 hand-32-4.png
icotool -c --cursor -X 6 -Y 0 -o "$out/hand.cur" -b 1 handcur-32-1.png

cp "$out"/* "$resources/"
echo "Wrote to $resources:"
(cd "$out" && ls -1 | sed 's/^/  /')
