#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Drenchwick developers
# SPDX-License-Identifier: MIT
# The browser bench, on demand (never part of the test suite): builds the players' site and the
# test site in build-web/, plays them in Debian's Chromium, headless, and prints one table of
# results beside their targets (bench/web/bench.js; --quick for short runs). It exits non-zero
# when a target is missed. ./tools/setup.sh --all installs everything it needs but Lighthouse,
# which comes from npm, at the version its lockfile pins, into bench/web/node_modules/.
set -euo pipefail
cd "$(dirname "$0")/.."
emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release -DDRENCHWICK_WEB_TEST_SITE=ON >/dev/null
cmake --build build-web -j"$(nproc)" >/dev/null
if [ ! -e bench/web/node_modules/.package-lock.json ] ||
    [ bench/web/package-lock.json -nt bench/web/node_modules/.package-lock.json ]; then
    npm ci --prefix bench/web --no-audit --no-fund >/dev/null
fi
SITE=build-web/site TEST_SITE=build-web/test-site exec node bench/web/bench.js "$@"
