#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Drenchwick developers
# SPDX-License-Identifier: MIT
# Brings a Debian 12 machine up to what Drenchwick needs, then configures it in build/ and
# builds the game. With --web it builds the browser version instead, a static site in
# build-web/site/. With --all it does both and also installs the test tools and builds
# everything: the test suite, the benchmarks and the packaging files. Quick when everything is
# already there: apt is only asked for what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."

all=false
desktop=true
web=false
case "${1-}" in
    "") ;;
    --all) all=true web=true ;;
    --web) desktop=false web=true ;;
    *)
        echo "usage: $0 [--web | --all]" >&2
        exit 2
        ;;
esac

packages=()
if $desktop; then
    # To build and play: qt6-base-dev brings Qt's xcb platform plugin; qt6-wayland is the one
    # for a Wayland session, and fonts-liberation2 the serif face the labels are laid out in.
    # On X11 the game asks the server, through libxcb-xkb, to say which key releases are real.
    packages+=(cmake g++ make qt6-base-dev qt6-wayland fonts-liberation2 libxcb1-dev libxcb-xkb-dev)
fi
if $web; then
    # Debian's emscripten comes with its system libraries built; it runs its tools with Node,
    # which it brings unless a node is there. The site ships the labels' serif face, cut down by
    # fonttools to the characters they show, as WOFF2 (which needs brotli).
    packages+=(cmake make emscripten fonts-liberation2 fonttools python3-brotli)
    command -v node >/dev/null || command -v nodejs >/dev/null || packages+=(nodejs)
fi
if $all; then
    # The end-to-end tests play the game on an Xvfb of their own with XTest input; sway, wtype
    # and grim do the same in a Wayland session.
    packages+=(xvfb xdotool sway wtype grim)
    # The package test checks the installed desktop entry and AppStream metainfo with their
    # validators; CPack asks `file` which files are programs, to strip them and to have
    # dpkg-shlibdeps read the .deb's library dependencies; lintian judges the .deb; reuse checks
    # that every file states its licence, and needs git to leave out what git ignores (build/).
    packages+=(desktop-file-utils appstream dpkg-dev file lintian reuse git)
    # The web tests play the site in all three engines: Debian's Chromium, headless; Firefox ESR,
    # which speaks WebDriver BiDi itself; and WebKitGTK's MiniBrowser through its WebDriver.
    packages+=(chromium firefox-esr webkit2gtk-driver)
fi
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

if $desktop; then
    cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
    if $all; then
        cmake --build build -j"$(nproc)"
    else
        cmake --build build -j"$(nproc)" --target drenchwick
    fi
fi
if $web; then
    emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build build-web -j"$(nproc)"
    echo "The browser version is in build-web/site/: ./tools/serve_web.sh serves it on this machine."
fi
