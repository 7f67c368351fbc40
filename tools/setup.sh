#!/usr/bin/env bash
# Brings a Debian 12 machine up to what Drenchwick needs, then configures and builds it in
# build/. Quick when everything is already there: apt is only asked for what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake g++ make qt6-base-dev fonts-liberation2 xvfb xdotool)
# The end-to-end tests close the game's window as a window manager would, by sending
# WM_DELETE_WINDOW over the X connection: that needs the xcb headers (Xvfb has no manager).
packages+=(libxcb1-dev)
# The package test checks the installed desktop entry and AppStream metainfo with their
# validators, and CPack asks dpkg-shlibdeps for the .deb's library dependencies.
packages+=(desktop-file-utils appstream dpkg-dev)
missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
if ((${#missing[@]})); then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)"
