#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, when missing.
set -euo pipefail

packages=(
    build-essential
    cmake
    pkg-config
    googletest
    libgtest-dev
    qt6-base-dev
    fonts-dejavu-core
    qt6-translations-l10n
    # the Debian package and its checks
    dpkg-dev
    file
    lintian
    appstream
    desktop-file-utils
    libxml2-utils
    man-db
    # the pkexec end-to-end test (and the polkit DTD)
    polkitd
    pkexec
    dbus-daemon
    python3-dbus
    python3-gi
    # Hosts-engine tests: ACLs, extended attributes, append-only folders.
    acl
    attr
    e2fsprogs
)

# `install-deps.sh windows`: what the Windows stage (scripts/test-windows.sh)
# needs instead: MinGW-w64 with posix threads, Wine, wrestool.
if [[ ${1:-} == windows ]]; then
    packages=(g++-mingw-w64-x86-64-posix wine64 wine icoutils googletest cmake)
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if ((${#missing[@]} > 0)); then
    echo "Installing: ${missing[*]}"
    sudo=()
    if [[ $(id -u) -ne 0 ]]; then
        sudo=(sudo)
    fi
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
