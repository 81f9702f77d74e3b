#!/usr/bin/env bash
# The whole chain as a desktop user meets it: the window (elevation_probe),
# pkexec, polkitd with its rules and our action, the installed helper and
# the system's hosts file. Everything it sets up lives in a private mount
# and process namespace: /etc, /run/dbus, the polkit actions folder and the
# helper's folder are overlays over the real ones, the test users exist only
# in the overlaid /etc/passwd, and the system bus, polkitd and the agents die
# with the namespace. Afterwards it checks that none of its processes or
# mounts is left and that the files it writes are, outside, as before.
#
#   pkexec_chain_test.sh HELPER PROBE POLICY INSTALLED_HELPER DATA_FOLDER
# Exit code 77: skipped (not root, or the machine lacks what it needs).
set -uo pipefail

helper_build=$1 probe_build=$2 policy=$3 helper_installed=$4 data_build=$5
here=$(cd "$(dirname "$0")" && pwd)
skip() { echo "SKIPPED: $*"; exit 77; }

# ---------------------------------------------------------------- outside
if [[ -z "${HUSHGATE_CHAIN_SCRATCH:-}" ]]; then
    [[ $(id -u) -eq 0 ]] || skip "needs root (mount namespace, polkitd, test users)"
    for tool in unshare setpriv /usr/bin/pkexec pkaction dbus-daemon dbus-send /usr/lib/polkit-1/polkitd /usr/bin/python3; do
        command -v "$tool" >/dev/null || skip "$tool is not installed (bash scripts/install-deps.sh)"
    done
    /usr/bin/python3 -c 'import dbus, gi.repository.GLib' 2>/dev/null || skip "python3-dbus or python3-gi missing"
    unshare --mount --pid --fork --mount-proc true 2>/dev/null || skip "no mount or process namespaces here"

    # What this test writes, each as it stands outside: the files, whether the
    # test users exist. Only these are compared, so that other programs on
    # the machine may change the rest meanwhile.
    rules=/etc/polkit-1/rules.d/40-hushgate-chain-test.rules
    own_files() {
        for file in /etc/hosts /etc/passwd /etc/group "$rules" "$helper_installed" \
            "/usr/share/polkit-1/actions/$(basename "$policy")"; do
            if [[ -e $file ]]; then
                echo "$(sha256sum <"$file") $(stat -c '%n %a %u %g %s %Y' "$file")"
            else
                echo "$file absent"
            fi
        done
        getent passwd hgchain-allowed hgchain-denied hgchain-other
    }
    before=$(own_files)
    scratch=$(mktemp -d "${TMPDIR:-/tmp}/hushgate-chain.XXXXXX")
    HUSHGATE_CHAIN_SCRATCH=$scratch unshare --mount --propagation private --pid --fork --mount-proc \
        bash "$0" "$@"
    result=$?
    # The namespaces the inside part was in, which it noted before hiding
    # the scratch folder under a mount of its own.
    namespaces=$(cat "$scratch/namespaces" 2>/dev/null)
    rm -rf "$scratch"
    failed() { echo "FAIL: $*"; result=1; }
    [[ $namespaces == "pid:["*"] mnt:["*"]" ]] || failed "the namespaces were not noted"
    # Every process it started (bus, polkitd, agents, probes) was in them.
    for ns in /proc/[0-9]*/ns/pid /proc/[0-9]*/ns/mnt; do
        id=$(readlink "$ns" 2>/dev/null) && [[ " $namespaces " == *" $id "* ]] &&
            failed "${ns%/ns/*} is still running in the test's namespace"
    done
    grep -F "$scratch" /proc/self/mountinfo && failed "a mount of the test is left"
    after=$(own_files)
    [[ "$before" == "$after" ]] || failed "files outside changed: $(diff <(echo "$before") <(echo "$after"))"
    exit $result
fi

# ---------------------------------------------------------------- inside
scratch=$HUSHGATE_CHAIN_SCRATCH
echo "$(readlink /proc/self/ns/pid) $(readlink /proc/self/ns/mnt)" >"$scratch/namespaces"
mount -t tmpfs -o mode=755 tmpfs "$scratch" || exit 1
layers=0
# Makes `path` (created if missing) writable here while the real folder stays untouched.
private_dir() {
    local path=$1 base=$1
    while [[ ! -d "$base" ]]; do base=$(dirname "$base"); done
    layers=$((layers + 1))
    mkdir -p "$scratch/layer$layers/upper" "$scratch/layer$layers/work"
    mount -t overlay overlay \
        -o "lowerdir=$base,upperdir=$scratch/layer$layers/upper,workdir=$scratch/layer$layers/work" "$base" \
        || skip "overlay mounts are not available"
    mkdir -p "$path"
}
private_dir /etc
private_dir /run/dbus
private_dir /usr/share/polkit-1/actions
private_dir "$(dirname "$helper_installed")"
rm -f /run/dbus/system_bus_socket /run/dbus/pid

failures=0
hosts_is() {  # name expected-bytes: the hosts file holds exactly these bytes
    if cmp -s <(printf '%s' "$2") /etc/hosts; then
        echo "PASS $1"
    else
        echo "FAIL $1"; diff <(printf '%s' "$2") /etc/hosts
        failures=$((failures + 1))
    fi
}
check() {  # name expected actual
    if [[ "$2" == "$3" ]]; then
        echo "PASS $1"
    else
        echo "FAIL $1"; echo "  expected: $2"; echo "  got:      $3"
        failures=$((failures + 1))
    fi
}

# The helper and the action where the package puts them.
install -m 755 "$helper_build" "$helper_installed"
install -m 644 "$policy" /usr/share/polkit-1/actions/
actions=$(sed -n 's/.*<action id="\([^"]*\)".*/\1/p' "$policy")
app=$(basename "$policy" .policy)

# Test users: one a rule lets through, one a rule turns away, and one the
# action's defaults apply to (an administrator's password).
allowed=hgchain-allowed denied=hgchain-denied other=hgchain-other
uid=61000
for user in "$allowed" "$denied" "$other"; do
    uid=$((uid + 1))
    echo "$user:x:$uid:$uid::/nonexistent:/bin/sh" >>/etc/passwd
    echo "$user:x:$uid:" >>/etc/group
done
# Without logind nobody is in an active session, so for the one who must
# authenticate a rule stands in for the block action's allow_active.
cat >/etc/polkit-1/rules.d/40-hushgate-chain-test.rules <<RULES
polkit.addRule(function(action, subject) {
    if (action.id.indexOf("$app.") == 0 && subject.user == "$allowed") {
        return polkit.Result.YES;
    }
    if (action.id.indexOf("$app.") == 0 && subject.user == "$denied") {
        return polkit.Result.NO;
    }
    if (action.id == "$app.block" && subject.user == "$other") {
        return polkit.Result.AUTH_ADMIN_KEEP;
    }
});
RULES

# The window's own files, somewhere the test users can read.
mkdir -p "$scratch/program" "$scratch/users"
chmod 1777 "$scratch/users"
install -m 755 "$probe_build" "$scratch/program/elevation_probe"
cp -r "$data_build/Language" "$data_build/resources.dll" "$scratch/program/"
chmod -R a+rX "$scratch/program"

# The system bus and polkitd, for this namespace only.
dbus-daemon --system --fork || exit 1
/usr/lib/polkit-1/polkitd >"$scratch/polkitd.log" 2>&1 &
polkitd=$!
# However long a busy machine takes, as long as polkitd runs.
until dbus-send --system --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:org.freedesktop.PolicyKit1 2>/dev/null | grep -q true; do
    kill -0 "$polkitd" 2>/dev/null || { echo "FAIL polkitd ended"; cat "$scratch/polkitd.log"; exit 1; }
    sleep 0.1
done

# Two actions for the one helper, told apart by its first argument: blocking
# may be remembered for a while in an active session, unblocking never.
defaults() {
    pkaction --verbose --action-id "$1" | sed -n 's/^ *implicit \([a-z]*\): *\(.*\)/\1=\2/p' | xargs
}
check "two actions" "$app.block $app.unblock" "$(xargs <<<"$actions")"
check "  block: an administrator, remembered in an active session" \
    "any=auth_admin inactive=auth_admin active=auth_admin_keep" "$(defaults "$app.block")"
check "  unblock: an administrator every time" \
    "any=auth_admin inactive=auth_admin active=auth_admin" "$(defaults "$app.unblock")"

original=$'127.0.0.1 localhost\n\n::1 localhost ip6-localhost\n'
tidied=$'127.0.0.1 localhost\n::1 localhost ip6-localhost\n'
entries=$(/usr/bin/python3 -c '
import re, sys
text = open(sys.argv[1], encoding="latin-1").read()
print("\n".join(re.findall(r"\"(127\.0\.0\.1 [^\"]+)\"", text)))' "$here/../../src/hosts/block_list.cpp")
blocked="$tidied$entries"$'\n'
check "68 block entries known" 68 "$(grep -c . <<<"$entries")"
printf '%s' "$original" >/etc/hosts
chmod 644 /etc/hosts
etc_listing=$(ls -a /etc)

as_user() {  # user command...: a login-less process of that user, as a desktop would start it
    local user=$1; shift
    # Its own runtime folder here, or Qt would make one in the real /tmp.
    install -d -m 700 -o "$user" -g "$user" "$scratch/users/$user"
    env -i PATH=/usr/bin:/bin HOME="$scratch/users/$user" XDG_RUNTIME_DIR="$scratch/users/$user" \
        ASAN_OPTIONS=detect_leaks=0 \
        setpriv --reuid="$user" --regid="$user" --init-groups -- "$@" </dev/null
}
probe() {  # user verb [ready-file]
    as_user "$1" "$scratch/program/elevation_probe" "$2" "$scratch/program" \
        "$scratch/users/$1/config.ini" "${@:3}" 2>>"$scratch/probe.err"
}
with_agent() {  # allow|dismiss user verb: the agent registers for the probe before it presses
    local ready="$scratch/ready.$RANDOM" out="$scratch/probe.out"
    probe "$2" "$3" "$ready" >"$out" &
    local pipeline=$!
    local pid=
    until pid=$(pgrep -u "$2" -x elevation_probe); do
        kill -0 "$pipeline" 2>/dev/null || break
        sleep 0.1
    done
    /usr/bin/python3 "$here/test_agent.py" "$1" "$pid" "$ready" >"$scratch/agent.log" 2>&1 &
    local agent=$!
    # The probe waits for the agent; an agent that failed to start ends it.
    until [[ -e $ready ]]; do
        kill -0 "$agent" 2>/dev/null || { kill "$pid" 2>/dev/null; break; }
        sleep 0.1
    done
    wait "$pipeline"
    kill "$agent" 2>/dev/null
    wait "$agent" 2>/dev/null
    cat "$out"
}

close_browser="information: You may need to exit your browser for these changes to take effect."

check "allowed user blocks" "$close_browser"$'\nshown: blocked' "$(probe "$allowed" block)"
hosts_is "  the hosts file holds exactly the block" "$blocked"
check "allowed user unblocks" "$close_browser"$'\nshown: unblocked' "$(probe "$allowed" unblock)"
hosts_is "  the hosts file is as before, without the empty line" "$tidied"

refused='critical: Tavrin Hushgate was not allowed to change the hosts file: Error executing command as another user:'
check "user a rule turns away is refused (127)" "$refused Not authorized"$'\nshown: unblocked' \
    "$(probe "$denied" block)"
hosts_is "  the hosts file is unchanged" "$tidied"
check "user who must authenticate, without an agent, is refused (127)" \
    "$refused No authentication agent found."$'\nshown: unblocked' "$(probe "$other" block)"
hosts_is "  the hosts file is unchanged" "$tidied"

check "user who dismisses the password dialog: no message" "shown: unblocked" \
    "$(with_agent dismiss "$other" block)"
hosts_is "  the hosts file is unchanged" "$tidied"
check "user who authenticates blocks" "$close_browser"$'\nshown: blocked' "$(with_agent allow "$other" block)"
hosts_is "  the hosts file holds exactly the block" "$blocked"
changes=
for state in unblocked blocked unblocked blocked unblocked; do
    changes+="$close_browser"$'\n'"shown: $state"$'\n'
done
check "the same window unblocks, blocks, unblocks, blocks, unblocks" "${changes%$'\n'}" \
    "$(with_agent allow "$other" unblock,block,unblock,block,unblock)"
check "  every unblock asked for a password, the second block did not" \
    "$app.unblock $app.block $app.unblock $app.unblock" \
    "$(sed -n 's/^test agent: allow for \([^:]*\):.*/\1/p' "$scratch/agent.log" | xargs)"
hosts_is "  the hosts file is as before" "$tidied"
printf '%s' "$blocked" >/etc/hosts

helper_output=$(as_user "$other" "$helper_installed" unblock 2>&1)
check "the helper started by a user directly refuses (exit 4)" 4 "$?"
check "  with one line" 1 "$(grep -c . <<<"$helper_output")"
hosts_is "  and the hosts file is unchanged" "$blocked"
check "nothing left beside the hosts file" "$etc_listing" "$(ls -a /etc)"

if ((failures)); then
    echo "--- polkitd log"; cat "$scratch/polkitd.log"
    echo "--- probe errors"; cat "$scratch/probe.err"
    echo "--- agent"; cat "$scratch/agent.log" 2>/dev/null
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"
