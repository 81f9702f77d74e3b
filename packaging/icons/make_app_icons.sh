#!/usr/bin/env bash
# Redraws the desktop icons in packaging/icons/hicolor/ (one PNG per size)
# from the program icon's artwork. Rerun after changing the artwork.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
work="$(mktemp -d "${TMPDIR:-/tmp}/hushgate-icons.XXXXXX")"
trap 'rm -rf "$work"' EXIT
cmake -S "$here" -B "$work/build" -DCMAKE_BUILD_TYPE=Release >"$work/log" 2>&1 || { cat "$work/log" >&2; exit 1; }
cmake --build "$work/build" >"$work/log" 2>&1 || { cat "$work/log" >&2; exit 1; }
mkdir -p "$work/runtime" && chmod 700 "$work/runtime"
XDG_RUNTIME_DIR="$work/runtime" "$work/build/make_app_icons" "$here/hicolor"
