#!/usr/bin/env bash
# Redraws the desktop icons in packaging/icons/hicolor/ (one PNG per size)
# from the program icon's artwork. Rerun after changing the artwork.
set -euo pipefail
exec bash "$(dirname "${BASH_SOURCE[0]}")/../../tools/artwork/make_artwork.sh" --desktop
