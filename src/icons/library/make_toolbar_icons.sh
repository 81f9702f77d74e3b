#!/usr/bin/env bash
# Redraws the five toolbar icons of resources.dll (separator.ico,
# language.ico, about.ico, web.ico, facebook.ico in this folder, frames of
# 24, 32, 40 and 48 pixels each) with the artwork generator. Afterwards run build-resources-dll.sh.
#
#   bash src/icons/library/make_toolbar_icons.sh
set -euo pipefail
exec bash "$(dirname "${BASH_SOURCE[0]}")/../../../tools/artwork/make_artwork.sh" --toolbar
