#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Drenchwick developers
# SPDX-License-Identifier: MIT
# Reads a built program with readelf and fails unless it carries the release hardening:
# a position-independent executable, full RELRO (GNU_RELRO with BIND_NOW), the stack protector
# and the fortified libc calls.
set -euo pipefail
bin=$1
fail() {
    echo "$bin: $*" >&2
    exit 1
}
header=$(readelf -hW "$bin")
dynamic=$(readelf -dW "$bin")
segments=$(readelf -lW "$bin")
symbols=$(readelf --dyn-syms -W "$bin")

grep -qE 'Type:[[:space:]]+DYN' <<<"$header" || fail "not position independent (type is not DYN)"
grep -qE 'FLAGS_1\).*[[:space:]]PIE' <<<"$dynamic" || fail "FLAGS_1 does not say PIE"
grep -qE '\(BIND_NOW\)|\(FLAGS\).*BIND_NOW|\(FLAGS_1\).*[[:space:]]NOW' <<<"$dynamic" ||
    fail "no BIND_NOW: RELRO is only partial"
grep -q 'GNU_RELRO' <<<"$segments" || fail "no GNU_RELRO segment"
grep -q '__stack_chk_fail' <<<"$symbols" || fail "no stack protector (__stack_chk_fail)"
fortified=$(grep -oE '__[a-z0-9_]+_chk@' <<<"$symbols" | grep -v '__stack_chk_fail' | sort -u |
    tr -d '@' | tr '\n' ' ' || true)
[ -n "$fortified" ] || fail "no fortified calls (*_chk): built without _FORTIFY_SOURCE?"
echo "$bin: PIE, full RELRO, stack protector, fortified: $fortified"
