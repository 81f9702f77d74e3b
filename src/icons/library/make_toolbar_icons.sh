#!/usr/bin/env bash
# Redraws the five toolbar icons of resources.dll (separator.ico,
# language.ico, about.ico, web.ico, facebook.ico in this folder) with the
# artwork generator. Afterwards run build-resources-dll.sh.
#
#   bash src/icons/library/make_toolbar_icons.sh
set -euo pipefail
exec bash "$(dirname "${BASH_SOURCE[0]}")/../../ui/artwork/make_artwork.sh" --toolbar
