#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, when missing.
set -euo pipefail

packages=(
    build-essential
    cmake
    pkg-config
    clang-format
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
# needs instead: MinGW-w64 with posix threads, Wine and its fonts, wrestool;
# for the window's scenarios an X server, xdotool, screenshots (xwd, netpbm)
# and Python's web server; NSIS for the setup program.
if [[ ${1:-} == windows ]]; then
    packages=(g++-mingw-w64-x86-64-posix wine64 wine fonts-wine icoutils googletest cmake
              xvfb xauth xdotool x11-apps netpbm python3 nsis)
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
    # Other installs may be running: wait for apt's lock instead of failing.
    "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 update -qq
    "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}"
fi
