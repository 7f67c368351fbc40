#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Drenchwick developers
# SPDX-License-Identifier: MIT
# Proves that the README's two commands work on a fresh Debian 12 machine, as a new player and
# a new developer would run them. It builds a minbase system with debootstrap (kept as a
# tarball, so that later runs start from it), clones this checkout's HEAD into it and, as root
# in a chroot:
#   - runs the play command against an X server of its own, passes once the game's window maps,
#     then closes the window as a user would and waits for the game to end with status 0;
#   - runs the test command: the whole suite, from the same clone.
# Needs root. The logs of the last run stay in /var/tmp/drenchwick-fresh-machine/logs/, and a
# failure prints their tail. Delete the tarball beside them to start from a new debootstrap.
set -euo pipefail
umask 022

state=/var/tmp/drenchwick-fresh-machine
logs=$state/logs
arch=$(dpkg --print-architecture)
base=$state/bookworm-minbase-$arch.tar.gz
# The play command installs packages and builds before its window can map.
window_timeout=1800
test_timeout=3600

src=$(cd "$(dirname "$0")/.." && pwd)
started=$SECONDS
say() { echo "fresh machine [$((SECONDS - started)) s]: $*"; }
fail() {
    say "FAILED: $*" >&2
    exit 1
}

[ "$(id -u)" -eq 0 ] || fail "needs root, for debootstrap, chroot and mounts"

# The README's two commands, as written: the first two lines of its first sh block.
mapfile -t commands < <(awk '/^```sh$/ { inside = 1; next } inside && /^```$/ { exit } inside' \
    "$src/README.md")
play_command=${commands[0]-}
test_command=${commands[1]-}
[[ ${#commands[@]} -eq 2 && $play_command == *build/drenchwick* && $test_command == *ctest* ]] ||
    fail "the README does not start with the play command and the test command"

# This script's own tools, from apt only when missing. A window manager turns wmctrl's close
# request into the WM_DELETE_WINDOW that a click on the window's close button sends.
tools=(debootstrap git xvfb xdotool wmctrl matchbox-window-manager)
missing=()
for p in "${tools[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$p")
done
if ((${#missing[@]})); then
    say "installing ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
fi

# The host's own Debian mirror.
mirror=$(awk '/^URIs:/ { for (i = 2; i <= NF; i++) if ($i ~ /\/debian\/?$/) { print $i; exit } }
              $1 == "deb" && $2 ~ /\/debian\/?$/ { print $2; exit }' \
    /etc/apt/sources.list.d/debian.sources /etc/apt/sources.list 2>/dev/null || true)
mirror=${mirror:-http://deb.debian.org/debian}

mkdir -p "$state"
rm -rf "$logs"
mkdir -p "$logs"
work=$(realpath "$(mktemp -d "$state/run.XXXXXX")")
root=$work/root
mounts=()
pids=()

# Whatever happens: stop what runs in the chroot, unmount in reverse order (lazily when busy),
# and remove the folder only once nothing is mounted below it.
cleanup() {
    local rc=$? p i signal
    set +e
    trap - EXIT INT TERM
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
    for signal in TERM KILL; do
        for p in /proc/[0-9]*; do
            [ "$(readlink "$p/root" 2>/dev/null)" != "$root" ] || kill -"$signal" "${p#/proc/}"
        done 2>/dev/null
        [ $signal = KILL ] || sleep 2
    done
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
        umount -R "${mounts[i]}" 2>/dev/null || umount -R -l "${mounts[i]}"
    done
    if awk -v w="$work/" 'index($5 "/", w) == 1 { found = 1 } END { exit !found }' \
        /proc/self/mountinfo; then
        echo "fresh machine: $work is still mounted: left in place" >&2
    else
        rm -rf --one-file-system "$work"
    fi
    if ((rc != 0)); then
        for p in "$logs"/*.log; do
            [ -s "$p" ] || continue
            echo "----- last lines of $p -----" >&2
            tail -n 60 "$p" >&2
        done
        echo "fresh machine: the full logs are in $logs" >&2
    fi
    exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

if [ ! -s "$base" ]; then
    say "debootstrap of a bookworm minbase system from $mirror"
    debootstrap --variant=minbase --arch="$arch" bookworm "$work/base" "$mirror" \
        >"$logs/debootstrap.log" 2>&1 || fail "debootstrap failed"
    tar --numeric-owner --xattrs -C "$work/base" -czf "$base.part" . && mv "$base.part" "$base"
    rm -rf --one-file-system "$work/base"
fi
say "unpacking $base"
mkdir "$root"
tar --numeric-owner --xattrs --xattrs-include='*' -C "$root" -xpzf "$base"
cp /etc/resolv.conf "$root/etc/resolv.conf"
# Services that packages install are not started: they would outlive the chroot.
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod 755 "$root/usr/sbin/policy-rc.d"

mount_in() {
    mount "$@"
    mounts+=("${*: -1}")
}
mount_in -t proc proc "$root/proc"
mount_in --rbind /sys "$root/sys"
mount --make-rslave "$root/sys"
mount_in --rbind /dev "$root/dev"
mount --make-rslave "$root/dev"
mount_in -t tmpfs -o mode=1777 tmpfs "$root/tmp"

# A world-readable clone: some tests run the built game as another user.
head=$(git -C "$src" rev-parse HEAD)
[ -z "$(git -C "$src" status --porcelain)" ] ||
    say "note: uncommitted changes are not part of the check, which clones $head"
mkdir -p "$root/src"
git clone -q "$src" "$root/src/drenchwick"
git -C "$root/src/drenchwick" -c advice.detachedHead=false checkout -q "$head"

# Runs COMMAND in the chroot from the clone, in root's bare environment plus VAR=VALUE...
in_chroot() {
    local limit=$1 command=$2
    shift 2
    timeout --kill-after=30 "$limit" chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@" \
        /bin/bash -c "cd /src/drenchwick && $command"
}

# --- The play command ----------------------------------------------------------------------
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$work/display" >"$logs/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 300); do
    display=$(cat "$work/display")
    [ -n "$display" ] && break
    sleep 0.1
done
[ -n "$display" ] || fail "Xvfb did not start"
export DISPLAY=:$display
matchbox-window-manager >"$logs/window-manager.log" 2>&1 &
pids+=($!)
mkdir -p "$root/tmp/.X11-unix"
mount_in --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
mount -o remount,bind,ro "$root/tmp/.X11-unix"

say "play command, against display $DISPLAY: $play_command"
(
    rc=0
    in_chroot "$window_timeout" "$play_command" DISPLAY="$DISPLAY" || rc=$?
    echo "$rc" >"$work/play.rc"
) >"$logs/play.log" 2>&1 &
pids+=($!)
deadline=$((SECONDS + window_timeout))
window=
until [ -n "$window" ]; do
    [ ! -e "$work/play.rc" ] ||
        fail "the play command ended (status $(cat "$work/play.rc")) before its window mapped"
    ((SECONDS < deadline)) || fail "no window named Drenchwick mapped within $window_timeout s"
    sleep 2
    window=$(xdotool search --onlyvisible --name '^Drenchwick$' 2>/dev/null | head -n 1 || true)
done
say "the game's window $window mapped; closing it"
wmctrl -i -c "$window"
for _ in $(seq 60); do
    [ -e "$work/play.rc" ] && break
    sleep 0.5
done
[ -e "$work/play.rc" ] || fail "the game did not end within 30 s of its window being closed"
[ "$(cat "$work/play.rc")" = 0 ] || fail "the game ended with status $(cat "$work/play.rc")"
say "the play command ended with status 0"
umount "$root/tmp/.X11-unix"
unset 'mounts[-1]'
for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
pids=()

# --- The test command ----------------------------------------------------------------------
say "test command: $test_command"
# In the background, so that a signal reaches the trap at once rather than when it ends.
in_chroot "$test_timeout" "$test_command" >"$logs/test.log" 2>&1 &
pids+=($!)
wait "$!" || fail "the test command failed (status $?)"
grep -E 'tests passed|Total Test time' "$logs/test.log" || true
# The set-up installs every browser engine, so the web tests must have played in each; what an
# engine's automation cannot do is named, and shown here.
web_log="$root/src/drenchwick/build/Testing/Temporary/LastTest.log"
for engine in Chromium Firefox WebKit; do
    grep -q "^all [0-9]* passed in $engine\$" "$web_log" || fail "the web tests did not play in $engine"
done
grep -E '^(=== |# |all [0-9]+ passed in )|# (not|SKIP) in ' "$web_log" | sed 's/^ok - /  /'
say "passed: both README commands work on a fresh Debian 12 ($head)"
