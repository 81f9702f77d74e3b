#!/usr/bin/env bash
# Builds the Debian package in build-package/ (Release, installed under /usr,
# Debian's hardening flags, no tests) and checks it: lintian, the AppStream
# record, the desktop entry, the polkit action and both manual pages.
#   bash scripts/package.sh     ->  build-package/hushgate_<version>_<arch>.deb
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DHUSHGATE_BUILD_TESTS=OFF -DHUSHGATE_BUILD_BENCH=OFF -DHUSHGATE_SANITIZE=OFF \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
    -DCMAKE_MODULE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
    -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON
# Only what the package holds.
cmake --build build-package -j "$(nproc)" --target hushgate hushgate-cli hushgate-helper hushgate_package_files
rm -f build-package/hushgate_*.deb
(cd build-package && cpack -G DEB)

deb=$(ls build-package/hushgate_*.deb)
echo "Checking $deb"
failed=0
fail() { echo "FAILED: $*" >&2; failed=1; }

unpacked=$(mktemp -d "${TMPDIR:-/tmp}/hushgate-deb.XXXXXX")
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
app_id=$(sed -n 's/^HUSHGATE_APP_ID:STRING=//p' build-package/CMakeCache.txt)

# Every file where it belongs, owned by root, nothing writable by others,
# the helper executable by everyone but never set-user-id.
for path in usr/bin/hushgate usr/bin/hushgate-cli usr/libexec/hushgate/hushgate-helper \
    "usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/hushgate/hushgate-network.so" \
    usr/share/hushgate/resources.dll usr/share/hushgate/Language/English.lng \
    "usr/share/polkit-1/actions/$app_id.policy" "usr/share/applications/$app_id.desktop" \
    "usr/share/metainfo/$app_id.metainfo.xml" "usr/share/icons/hicolor/256x256/apps/$app_id.png" \
    usr/share/man/man1/hushgate.1.gz usr/share/man/man1/hushgate-cli.1.gz \
    usr/share/doc/hushgate/copyright usr/share/doc/hushgate/changelog.gz; do
    [[ -f "$unpacked/$path" ]] || fail "missing /$path"
done
dpkg-deb -c "$deb" | awk '$2 != "root/root" || $1 ~ /^.....w|^........w|s/ { print; bad = 1 } END { exit bad }' \
    || fail "ownership or permissions"

lintian_out=$(lintian --allow-root --tag-display-limit 0 "$deb" 2>&1) || true
echo "$lintian_out"
if grep -E '^[EW]: ' <<<"$lintian_out" >/dev/null; then fail "lintian"; fi
appstreamcli validate --no-net "$unpacked/usr/share/metainfo/$app_id.metainfo.xml" || fail "AppStream record"
desktop-file-validate "$unpacked/usr/share/applications/$app_id.desktop" || fail "desktop entry"
xmllint --noout --dtdvalid /usr/share/polkit-1/policyconfig-1.dtd \
    "$unpacked/usr/share/polkit-1/actions/$app_id.policy" || fail "polkit action"
for page in hushgate hushgate-cli; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$unpacked/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [[ -z "$warnings" ]] || { echo "$warnings"; fail "manual page $page.1"; }
done

# Installed, upgraded and removed as a user would, on CI's throwaway machine
# only (or when asked), with a scratch file mounted over /etc/hosts in a
# mount namespace of its own: the helper refuses an ordinary user and changes
# nothing; a block survives an upgrade (the same package again) and goes with
# the removal, which says so in one line; purging leaves none of the
# package's files behind.
install_check() {  # DEB SCRATCH-HOSTS
    local deb=$1 failed=0 apt=(apt-get -o DPkg::Lock::Timeout=600 -y -qq)
    fail() { echo "FAILED: $*" >&2; failed=1; }
    mount --bind "$2" /etc/hosts || return 1
    local original installed refused=0 blocked said
    original=$(cat /etc/hosts)
    "${apt[@]}" install "./$deb" >/dev/null || fail "apt-get install"
    installed=$(dpkg -L hushgate | while read -r f; do [[ -f $f ]] && echo "$f"; done)
    [[ -n $installed ]] || fail "nothing installed"
    setpriv --reuid=nobody --regid=nogroup --clear-groups /usr/libexec/hushgate/hushgate-helper block \
        2>/dev/null || refused=$?
    ((refused == 4)) || fail "the helper run by an ordinary user exited $refused, not 4"
    [[ $(cat /etc/hosts) == "$original" ]] || fail "the refused helper changed /etc/hosts"
    /usr/libexec/hushgate/hushgate-helper block >/dev/null || fail "the helper could not block"
    blocked=$(cat /etc/hosts)
    grep -qx '127.0.0.1 www.facebook.com' <<<"$blocked" || fail "the helper did not block"
    dpkg -i "$deb" >/dev/null || fail "dpkg -i again"
    [[ $(cat /etc/hosts) == "$blocked" ]] || fail "the upgrade removed the block"
    said=$("${apt[@]}" remove --purge hushgate 2>&1) || fail "apt-get remove"
    said=${said//$'\r'/}  # apt runs dpkg on a terminal of its own
    grep -qx "hushgate: Facebook is unblocked: 68 entry lines removed from /etc/hosts" <<<"$said" ||
        fail "the removal said: $said"
    [[ $(cat /etc/hosts) == "$original" ]] || fail "the removal left the block in /etc/hosts"
    for f in $installed; do [[ ! -e $f ]] || fail "left behind: $f"; done
    [[ ! -e /var/lib/hushgate ]] || fail "left behind: /var/lib/hushgate"
    return $failed
}
if [[ ${CI:-} == true || ${HUSHGATE_TRY_INSTALL:-} == 1 ]] && ((!failed)); then
    hosts_before=$(sha256sum /etc/hosts)
    printf '127.0.0.1 localhost\n::1 localhost\n' >"$unpacked/hosts"
    unshare --mount --propagation private bash -c "$(declare -f install_check); install_check \"\$@\"" \
        install_check "$deb" "$unpacked/hosts" || fail "install, upgrade and removal"
    [[ $(sha256sum /etc/hosts) == "$hosts_before" ]] || fail "/etc/hosts changed"
fi

if ((failed)); then
    exit 1
fi
echo "Package checks passed: $deb"
