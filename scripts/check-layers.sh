#!/usr/bin/env bash
# Checks the layering of src/ (README.md, "Source layout"): the Qt-free core,
# the presenter over it, the front ends over the presenter.
#   - Only src/qt uses Qt: no other folder includes a Qt header or asks CMake
#     for Qt.
#   - A folder includes its own headers and those of the folders below it,
#     nothing else: the core never the presenter or a front end, the
#     presenter no front end, and no front end another (src/qt and src/win32
#     never include each other). A header name is looked up in the including
#     folder first, as the compiler does.
# Exits 1 and names every offending line when a rule is broken.
set -euo pipefail
cd "$(dirname "$0")/.."

core="support hosts settings language icons web"
declare -A below=(
    [support]=""
    [hosts]="support"
    [settings]="support hosts"
    [language]="support hosts settings"
    [icons]="support"
    [web]="support"
    [resources]=""
    [presenter]="$core"
    [cli]="support hosts"
    [helper]="support hosts"
    [win32]="$core presenter"
    [qt]="$core presenter"
)
qt_folders=" qt "

failed=0
fail() {
    echo "check-layers: $*" >&2
    failed=1
}

mapfile -t folders < <(git ls-files src | cut -d/ -f2 | sort -u)
for folder in "${folders[@]}"; do
    [[ -v below[$folder] ]] || fail "src/$folder is in no layer; add it to scripts/check-layers.sh"
done

# The folder(s) under src/ that hold a header of this name.
declare -A owners=()
while IFS= read -r header; do
    folder=${header#src/}
    folder=${folder%%/*}
    name=$(basename "${header%.in}")
    owners[$name]+=" $folder"
done < <(git ls-files 'src/*.h' 'src/*.h.in')

for folder in "${folders[@]}"; do
    if [[ $qt_folders != *" $folder "* ]]; then
        if git grep -qn 'Qt6' -- "src/$folder/*CMakeLists.txt"; then
            fail "src/$folder is Qt-free but its CMakeLists.txt asks for Qt"
        fi
        while IFS= read -r hit; do
            fail "Qt header outside the Qt front end: $hit"
        done < <(git grep -nE '^\s*#\s*include\s*<Q' -- "src/$folder/*.cpp" "src/$folder/*.h" || true)
    fi
    allowed=" $folder ${below[$folder]:-} "
    while IFS= read -r hit; do
        name=$(sed -E 's/.*#\s*include\s*"([^"]+)".*/\1/' <<<"$hit")
        name=$(basename "$name")
        found=${owners[$name]:-}
        [[ -z $found ]] && continue  # generated (moc files) or not ours
        [[ $found == *" $folder"* ]] && continue
        ok=0
        for owner in $found; do
            [[ $allowed == *" $owner "* ]] && ok=1
        done
        if ((!ok)); then
            where=$(for owner in $found; do printf ' src/%s/%s' "$owner" "$name"; done)
            fail "src/$folder may not include${where}: $hit"
        fi
    done < <(git grep -nE '^\s*#\s*include\s*"' -- "src/$folder/*.cpp" "src/$folder/*.h" \
                 "src/$folder/*.in" "src/$folder/*.rc" || true)
done

if ((failed)); then
    exit 1
fi
echo "check-layers: src/ keeps its layers (${#folders[@]} folders)"
