#!/usr/bin/env bash
# Mutation testing: how many small faults in the sources do the tests notice?
# Not part of CI: a full pass takes hours on a small machine.
#
#   scripts/mutants.sh [options]                 sample mutants and test each one
#   scripts/mutants.sh [options] --ids FILE      only these mutant ids (one a line,
#                                                e.g. the survivors after new tests)
#   scripts/mutants.sh [options] --list          the ids that would be run, no run
# Options:
#   --work DIR      scratch folder (default /work/mut): DIR/src is a clone of this
#                   repository's HEAD, DIR/build its Debug build; the repository
#                   itself is never touched
#   --out FILE      results, one line a mutant (default DIR/results.tsv)
#   --seed N        the sample's seed (default 19)
#   --count F=N     mutants drawn from folder F, repeatable (defaults below)
#   --refresh       bring DIR/src up to the repository's HEAD first
#   --repo DIR      the repository (or worktree) whose HEAD is tested (default:
#                   the one this script is in)
#   --until HH:MM   start no mutant after this time; the list is ordered so that
#                   the part that ran is still a fair sample of every folder
#   --window        after a file's own tests, the main window's test too (a
#                   minute a mutant): for re-checking survivors, not a whole pass
#   --window-only   the main window's test alone (survivors of a pass without it)
#
# For each mutant: the file is changed in DIR/src, its test programs
# are rebuilt (nice, ccache, Debug without sanitizers) and run, and the file
# is put back. Results: killed (a test failed), timeout (counted as killed),
# survived, invalid (does not compile; not counted).
#
# The tests run as whoever starts this, root included, and a mutant can turn
# a test's scratch file into the system's hosts file. So every test run gets
# a private mount namespace whose /etc is an overlay on a throw-away tmpfs:
# whatever a mutant writes there is gone when the run ends. Without the
# rights for that (not root) the tests run unguarded, which is safe only
# because a non-root user cannot write /etc/hosts.
set -euo pipefail

tools=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$tools/.." && pwd)
work=/work/mut
out=
seed=19
ids_file=
list_only=0
refresh=0
until=
window=0
counts=()
while (($#)); do
    case $1 in
        --work) work=$2; shift 2 ;;
        --out) out=$2; shift 2 ;;
        --seed) seed=$2; shift 2 ;;
        --count) counts+=("$2"); shift 2 ;;
        --ids) ids_file=$(realpath "$2"); shift 2 ;;
        --list) list_only=1; shift ;;
        --refresh) refresh=1; shift ;;
        --repo) repo=$(cd "$2" && pwd); shift 2 ;;
        --window) window=1; shift ;;
        --window-only) window=2; shift ;;
        --until) until=$(date -d "$2" +%s); shift 2 ;;
        -h|--help) sed -n '2,27p' "$0"; exit 0 ;;
        *) echo "mutants.sh: unknown option $1" >&2; exit 2 ;;
    esac
done
# Every folder gets enough for its own percentage; the engine, the largest
# and the one whose faults cost most, gets the most. src/qt means only its
# menu image, picture library and web files (see mutants.py).
if ((${#counts[@]} == 0)); then
    counts=(src/hosts=130 src/cli=45 src/helper=45 src/settings=30 src/language=30
            src/presenter=50 src/web=30 src/icons=45 src/qt=45)
fi
src=$work/src
build=$work/build
out=${out:-$work/results.tsv}
mutate() { python3 "$tools/mutants.py" --root "$src" "$@"; }

# The test programs a source file's mutants are checked with, fastest and
# most likely to fail first: gtest:DIR/PROGRAM[:FILTER] runs a GoogleTest
# program directly in tests/DIR of the build, as CTest would but in one
# process that stops at the first failure; ctest:NAME a Qt Test program
# through CTest (which sets its environment). The argument is a file (or,
# for the core folders, just the folder); in src/qt the file picks the
# tests. The window tests (label gui, mostly slow) run only with --window,
# after the file's own tests.
tests_for() {
    ((window == 2)) || case $1 in
        src/hosts | src/hosts/*)
            echo gtest:hosts/hosts_tests gtest:helper/helper_tests \
                gtest:settings/settings_tests gtest:presenter/presenter_tests ;;
        src/cli | src/cli/*) echo "gtest:hosts/hosts_tests:CliTest.*" ;;
        src/helper | src/helper/*) echo gtest:helper/helper_tests ;;
        src/settings | src/settings/*) echo gtest:settings/settings_tests gtest:presenter/presenter_tests ;;
        src/language | src/language/*)
            echo gtest:language/language_tests gtest:qt/language_text_tests \
                gtest:presenter/presenter_tests ;;
        src/presenter | src/presenter/*) echo gtest:presenter/presenter_tests ctest:dialogs_test ;;
        src/web | src/web/*)
            echo gtest:web/web_core_tests gtest:presenter/presenter_tests \
                ctest:web_test ;;
        src/icons | src/icons/*) echo gtest:icons/icons_tests ctest:icon_library_test ctest:menu_image_test ;;
        src/qt/menu_image.cpp | src/qt/main_menu_images.cpp) echo ctest:menu_image_test ;;
        src/qt/icon_library.cpp | src/qt/flat_controls.cpp) echo ctest:icon_library_test ;;
        src/qt/version_check.cpp | src/qt/open_web.cpp) echo ctest:web_test ;;
        *) echo "mutants.sh: no tests for $1" >&2; return 1 ;;
    esac
    # The main window's test drives the presenter, its texts, pictures and
    # web commands through real menus and buttons. Each mutant costs a link
    # of the whole window (about a minute here), so only it, and not for the
    # engine, the command-line tool or the helper, which it hardly reaches.
    if ((window)); then
        case $1 in
            src/hosts | src/hosts/* | src/cli | src/cli/* | src/helper | src/helper/*) ;;
            *) echo ctest:main_window_test ;;
        esac
    fi
}
target_of() {
    local t=${1#*:}
    t=${t%%:*}
    echo "${t##*/}"
}
targets_for() {
    local t
    for t in $(tests_for "$1"); do
        target_of "$t"
    done | sort -u
}
# One entry for each set of tests above.
all_units="src/hosts src/cli src/helper src/settings src/language src/presenter src/web src/icons
           src/qt/menu_image.cpp src/qt/icon_library.cpp src/qt/version_check.cpp"

# The scratch clone and its build.
if [[ ! -d $src/.git ]]; then
    git clone -q "$repo" "$src"
elif ((refresh)); then
    git -C "$src" fetch -q "$repo" HEAD && git -C "$src" checkout -q --detach FETCH_HEAD
fi
git -C "$src" checkout -q -- src
# Worktrees beside the scratch folder share the compiler cache.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(dirname "$work")}
if [[ ! -f $build/build.ninja ]]; then
    nice -n 10 cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
        -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DHUSHGATE_BUILD_BENCH=OFF >"$work/configure.log"
fi
every_target=$(for f in $all_units; do targets_for "$f"; done | sort -u)

# The ids: given, or drawn.
ids=$work/ids.txt
if [[ -n $ids_file ]]; then
    grep -v '^\s*\(#\|$\)' "$ids_file" | cut -f1 >"$ids"
else
    args=()
    for c in "${counts[@]}"; do args+=(--count "$c"); done
    mutate sample --seed "$seed" "${args[@]}" >"$ids"
fi
if ((list_only)); then
    cat "$ids"
    exit 0
fi

# Whatever stops the run, the scratch clone is left unchanged.
trap 'git -C "$src" checkout -q -- src' EXIT

guard=$work/guard
mkdir -p "$guard"
if [[ $(id -u) == 0 ]]; then guarded=1; else guarded=0; fi
# Runs "$@" with /etc made throw-away and TMPDIR a fresh folder.
run_guarded() {
    rm -rf "$guard/tmp" && mkdir -p "$guard/tmp" "$guard/ns"
    if ((guarded)); then
        TMPDIR=$guard/tmp unshare -m --propagation private bash -c '
            set -e
            mount -t tmpfs none "$1"
            mkdir "$1/up" "$1/work"
            mount -t overlay overlay -o "lowerdir=/etc,upperdir=$1/up,workdir=$1/work" /etc
            shift
            exec "$@"' guarded "$guard/ns" "$@"
    else
        TMPDIR=$guard/tmp "$@"
    fi
}

# One test program: exit 0 passed, 124 timed out, anything else failed.
run_test() {
    local limit=$2 kind=${1%%:*} rest=${1#*:} program filter exe dir
    program=${rest%%:*}
    filter=
    [[ $rest == *:* ]] && filter=${rest#*:}
    dir=${program%/*}
    program=${program##*/}
    if [[ $kind == gtest ]]; then
        exe=$(find "$build" -type f -name "$program" -perm -u+x ! -path '*/CMakeFiles/*' | head -1)
        (cd "$build/tests/$dir" &&
            run_guarded nice -n 10 timeout -k 5 "$limit" "$exe" --gtest_fail_fast \
                ${filter:+--gtest_filter="$filter"} >/dev/null 2>&1)
    else
        local rc=0
        run_guarded nice -n 10 timeout -k 5 "$limit" \
            ctest --test-dir "$build" -R "^${program}\$" --timeout "$limit" >"$guard/ctest.log" 2>&1 ||
            rc=$?
        # CTest passes when no test matches: that must not count as a pass.
        grep -q '^No tests were found' "$guard/ctest.log" && return 2
        ((rc == 0 || rc == 124)) && return $rc
        grep -q 'Timeout' "$guard/ctest.log" && return 124
        return 1
    fi
}

echo "mutants.sh: building the test programs"
nice -n 10 cmake --build "$build" -j2 --target $every_target >"$work/build.log" 2>&1 ||
    { echo "mutants.sh: the unchanged tree does not build (see $work/build.log)" >&2; exit 1; }

# The unchanged tree must pass, and its times set each program's limit: five
# times its own run plus a margin, as a loaded machine may be slow.
declare -A limit
echo "mutants.sh: running the tests on the unchanged tree"
for f in $all_units; do
    for t in $(tests_for "$f"); do
        [[ -n ${limit[$t]:-} ]] && continue
        start=$(date +%s.%N)
        if ! run_test "$t" 600; then
            echo "mutants.sh: $t fails on the unchanged tree; fix that first" >&2
            exit 1
        fi
        took=$(echo "$(date +%s.%N) - $start" | bc)
        limit[$t]=$(printf '%.0f' "$(echo "$took * 5 + 20" | bc)")
        printf '  %s: %.1fs, limit %ss\n' "$t" "$took" "${limit[$t]}"
    done
done

printf 'id\tfolder\tresult\tseconds\tfailed_in\tbefore\tafter\n' >"$out"
total=$(wc -l <"$ids")
n=0
while read -r id; do
    if [[ -n $until ]] && (($(date +%s) >= until)); then
        echo "mutants.sh: time is up after $n of $total mutants"
        break
    fi
    n=$((n + 1))
    file=${id%%:*}
    folder=${file%/*}
    start=$(date +%s)
    if ! diff=$(mutate apply "$id" 2>&1); then
        printf '%s\t%s\tstale\t0\t\t%s\t\n' "$id" "$folder" "$diff" >>"$out"
        continue
    fi
    # Each program is built just before it runs, so a mutant the first
    # program kills costs one link. Only the first build can meet the
    # mutated file's compile error.
    result=survived
    failed_in=
    first=1
    for t in $(tests_for "$file"); do
        target=$(target_of "$t")
        if ! timeout 900 nice -n 10 cmake --build "$build" -j2 --target "$target" \
                >"$work/mutant-build.log" 2>&1; then
            if ((first)); then result=invalid; else result=killed; failed_in=build:$target; fi
            break
        fi
        first=0
        rc=0
        run_test "$t" "${limit[$t]}" || rc=$?
        if ((rc == 124)); then result=timeout; failed_in=$t; break; fi
        if ((rc != 0)); then result=killed; failed_in=$t; break; fi
    done
    git -C "$src" checkout -q -- "$file"
    seconds=$(($(date +%s) - start))
    printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$id" "$folder" "$result" "$seconds" "$failed_in" "$diff" >>"$out"
    echo "[$n/$total] $result ${seconds}s $id"
done <"$ids"

# The build is left matching the unchanged sources.
nice -n 10 cmake --build "$build" -j2 --target $every_target >"$work/build.log" 2>&1 || true

echo "mutants.sh: results in $out"
awk -F'\t' 'NR > 1 { n[$2]++; r[$2 "\t" $3]++ }
    END {
        printf "%-18s %6s %6s %8s %8s %8s\n", "folder", "tested", "killed", "timeout", "survived", "invalid"
        for (f in n)
            printf "%-18s %6d %6d %8d %8d %8d\n", f, n[f], r[f "\tkilled"], r[f "\ttimeout"],
                r[f "\tsurvived"], r[f "\tinvalid"]
    }' "$out"
