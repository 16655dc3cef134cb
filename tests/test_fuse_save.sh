#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# dozedozovo-list saving for real onto FUSE mounts that refuse what a local
# file system allows: bindfs (no unnamed files, no rename that keeps what is
# there) and, where fusefat and mkfs.vfat are installed, a FAT image (no links
# and no permissions either). Exits 77 (skipped) without /dev/fuse or bindfs.
set -u
LIST="$(realpath "$1")"
if [ ! -c /dev/fuse ] || ! command -v bindfs >/dev/null; then
    echo "SKIP: no /dev/fuse or no bindfs"
    exit 77
fi
work="$(mktemp -d)"
mounts=()
# shellcheck disable=SC2317  # run by the trap below
cleanup() {
    for m in "${mounts[@]}"; do fusermount3 -u "$m" 2>/dev/null || fusermount -u "$m" 2>/dev/null || umount "$m"; done
    rm -rf "$work"
}
trap cleanup EXIT
# shellcheck source-path=SCRIPTDIR source=test_support/check.sh
source "$(dirname "$0")/test_support/check.sh"

mkdir -p "$work/music/live" "$work/bind-source" "$work/bind" "$work/fat"
truncate -s 1048576 "$work/music/a.mp3"
truncate -s 3145728 "$work/music/live/b.mp3"
"$LIST" "$work/music" - >"$work/expected.txt" 2>/dev/null

# What a user sees on the mount at $1 ($2: "modes" where it keeps permissions).
saves() {
    local at="$1/list.txt"
    "$LIST" "$work/music" "$at" 2>/dev/null
    check "$1: new list" "0" "$?"
    check "$1: its bytes" "$(od -c "$work/expected.txt")" "$(od -c "$at")"
    rm "$at" && echo old >"$at"  # fusefat does not truncate
    "$LIST" "$work/music" "$at" 2>/dev/null
    check "$1: an existing file needs --force" "3 old" "$? $(cat "$at")"
    if [ "$2" = modes ]; then chmod 0604 "$at"; fi
    "$LIST" --force "$work/music" "$at" 2>/dev/null
    check "$1: replaced" "0 $(od -c "$work/expected.txt")" "$? $(od -c "$at")"
    if [ "$2" = modes ]; then check "$1: mode kept" 604 "$(stat -c %a "$at")"; fi
    # Ten runs racing for one new name: one writes it, nine are told it exists.
    for _ in $(seq 10); do
        ("$LIST" "$work/music" "$1/race.txt" 2>/dev/null; echo "$?") &
    done >"$work/codes"
    wait
    check "$1: one winner of ten" "1 0|9 3" "$(sort "$work/codes" | uniq -c | awk '{print $1, $2}' | paste -sd'|')"
    check "$1: the winner's list" "$(od -c "$work/expected.txt")" "$(od -c "$1/race.txt")"
    # A folder that is missing is said before the search.
    "$LIST" "$work/music" "$1/missing/list.txt" 2>/dev/null
    check "$1: missing folder" 5 "$?"
    check "$1: no temporary file left" "list.txt race.txt" "$(find "$1" -mindepth 1 -printf "%f\n" | sort | paste -sd' ')"
}

if ! bindfs --no-allow-other "$work/bind-source" "$work/bind"; then
    echo "SKIP: bindfs cannot mount here"
    exit 77
fi
mounts+=("$work/bind")
saves "$work/bind" modes

if command -v fusefat >/dev/null && mkfs=$(PATH="$PATH:/usr/sbin:/sbin" command -v mkfs.vfat); then
    truncate -s 8M "$work/fat.img"
    "$mkfs" "$work/fat.img" >/dev/null
    if fusefat -o rw+ "$work/fat.img" "$work/fat" >/dev/null 2>&1; then
        mounts+=("$work/fat")
        saves "$work/fat" no-modes
    else
        echo "NOTE: fusefat cannot mount here; FAT not tried"
    fi
else
    echo "NOTE: no fusefat or mkfs.vfat; FAT not tried"
fi

finish
