#!/usr/bin/env bash
# Kills hushgate-cli with SIGKILL at random moments while it blocks or
# unblocks a large hosts file, runs `hushgate-cli status` once after each
# kill, and checks that the file holds exactly the old or the new bytes and
# that nothing of ours is left beside it. A benchmark-style program, not a
# test: it prints counts. Needs root for the in-place mode (a private mount
# namespace with the file bind-mounted, as in a container).
#
#   bench/kill-harness.sh [--kills N] [--lines N] [--mode rename|in-place|both] [--cli PATH]
set -euo pipefail

kills=200
lines=2000000
mode=both
cli=""
while (($# > 0)); do
    case "$1" in
        --kills) kills=$2; shift 2 ;;
        --lines) lines=$2; shift 2 ;;
        --mode) mode=$2; shift 2 ;;
        --cli) cli=$2; shift 2 ;;
        *) echo "usage: $0 [--kills N] [--lines N] [--mode rename|in-place|both] [--cli PATH]" >&2; exit 2 ;;
    esac
done
cli=$(realpath "${cli:-$(dirname "$0")/../build/bin/hushgate-cli}")
[[ -x $cli ]] || { echo "no hushgate-cli at $cli (build it first)" >&2; exit 2; }

# One mode: $1 = rename | in-place, $2 = the work folder with the reference files.
run_mode() {
    local kind=$1 work=$2 hosts folder source
    mkdir -p "$work/$kind/etc"
    folder=$work/$kind/etc
    hosts=$folder/hosts
    source=$hosts
    if [[ $kind == in-place ]]; then
        # The file lives elsewhere and is mounted over etc/hosts: no rename
        # can replace it, so every write is a rewrite in place.
        source=$work/$kind/mounted-hosts
        cp "$work/to-block.hosts" "$source"
        : >"$hosts"
        mount --bind "$source" "$hosts"
    else
        cp "$work/to-block.hosts" "$hosts"
    fi
    declare -A sum
    local name
    for name in to-block blocked to-unblock unblocked; do
        sum[$name]=$(sha256sum <"$work/$name.hosts" | cut -d' ' -f1)
    done

    # How long one operation takes here, so the kills fall inside it.
    local start end duration_ms
    start=$(date +%s%N)
    "$cli" --hosts "$hosts" block >/dev/null
    "$cli" --hosts "$hosts" unblock >/dev/null
    end=$(date +%s%N)
    duration_ms=$(((end - start) / 2000000))
    local window_ms=$((duration_ms + 1))

    local i killed=0 finished=0 as_old=0 as_new=0 wrong=0 stray=0 rolled_back=0 notices=0
    for ((i = 0; i < kills; i++)); do
        local op from to pid delay now left
        if ((i % 2 == 0)); then
            op=block from=to-block to=blocked
        else
            op=unblock from=to-unblock to=unblocked
        fi
        # Written into the file, so a bind mount stays on the same file.
        cat "$work/$from.hosts" >"$source"
        "$cli" --hosts "$hosts" $op >/dev/null 2>&1 &
        pid=$!
        delay=$((RANDOM * 32768 + RANDOM))
        delay=$((delay % (window_ms * 1000)))
        sleep "$((delay / 1000000)).$(printf '%06d' $((delay % 1000000)))"
        if kill -KILL "$pid" 2>/dev/null; then
            killed=$((killed + 1))
        else
            finished=$((finished + 1))
        fi
        wait "$pid" 2>/dev/null || true

        # One more run: it removes what the killed one left and undoes a
        # rewrite in place that was cut short.
        notices=$((notices + $("$cli" --hosts "$hosts" status 2>&1 >/dev/null | grep -c "was undone" || true)))
        now=$(sha256sum <"$source" | cut -d' ' -f1)
        if [[ $now == "${sum[$from]}" ]]; then
            as_old=$((as_old + 1))
        elif [[ $now == "${sum[$to]}" ]]; then
            as_new=$((as_new + 1))
        else
            wrong=$((wrong + 1))
            echo "kill $i ($op): the file is neither the old nor the new one" >&2
        fi
        # Damaged copies are kept on purpose after an undone rewrite; anything
        # else is stray.
        left=$(cd "$folder" && ls -A | grep -v '^hosts$' || true)
        if [[ -n $left ]]; then
            rolled_back=$((rolled_back + $(grep -c '^hosts\.hushgate-torn-' <<<"$left" || true)))
            if grep -qv '^hosts\.hushgate-torn-' <<<"$left"; then
                stray=$((stray + 1))
                echo "kill $i ($op): left beside the file: $(grep -v '^hosts\.hushgate-torn-' <<<"$left" | tr '\n' ' ')" >&2
            fi
            (cd "$folder" && rm -f -- $left)
        fi
    done
    [[ $kind == in-place ]] && umount "$hosts"
    printf '%-8s  %d runs on %d lines (one operation about %d ms): %d killed while running, %d finished first\n' \
        "$kind" "$kills" "$lines" "$duration_ms" "$killed" "$finished"
    printf '%-8s  after one more status: %d old bytes, %d new bytes, %d neither; %d runs left a stray file\n' \
        "" "$as_old" "$as_new" "$wrong" "$stray"
    printf '%-8s  %d cut-short rewrites undone (%d notices, %d damaged copies kept)\n' \
        "" "$notices" "$notices" "$rolled_back"
}

work=$(mktemp -d "${TMPDIR:-/tmp}/hushgate-kill-XXXXXX")
trap 'rm -rf "$work"' EXIT
# Hosts files like the big public block lists. Each run starts from one
# whose rewrite moves every line: a blank line near the top to block, the
# entries near the top to unblock.
body() {
    awk -v n="$lines" 'BEGIN { for (i = 4; i < n; i++) printf "0.0.0.0 tracker%07d.example-ads.net\n", i }'
}
{ printf '127.0.0.1 localhost\n\n::1 localhost ip6-localhost\n'; body; } >"$work/to-block.hosts"
: >"$work/empty.hosts"
{ printf '127.0.0.1 localhost\n'; "$cli" --hosts "$work/empty.hosts" list; printf '::1 localhost ip6-localhost\n'; body; } \
    >"$work/to-unblock.hosts"
cp "$work/to-block.hosts" "$work/blocked.hosts"
"$cli" --hosts "$work/blocked.hosts" block >/dev/null
cp "$work/to-unblock.hosts" "$work/unblocked.hosts"
"$cli" --hosts "$work/unblocked.hosts" unblock >/dev/null

if [[ $mode == rename || $mode == both ]]; then
    run_mode rename "$work"
fi
if [[ $mode == in-place || $mode == both ]]; then
    if [[ $(id -u) -ne 0 ]]; then
        echo "in-place: needs root for a private mount namespace; skipped" >&2
    else
        unshare -m --propagation private bash -c "$(declare -f run_mode); kills=$kills lines=$lines cli='$cli' run_mode in-place '$work'"
    fi
fi
