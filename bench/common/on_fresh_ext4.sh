#!/bin/sh
# Runs a bench with its data on a newly made ext4 file system (a loop-mounted
# sparse image under /tmp): right after tens of thousands of files were
# deleted, creating files on a used ext4 is many times slower for minutes,
# which would swamp the figures. Needs root, mkfs.ext4 and a loop device.
# Usage: bench/common/on_fresh_ext4.sh build/bench/bench_copy [arguments]
set -e
image=$(mktemp /tmp/bench-ext4-XXXXXX.img)
mount=$(mktemp -d /tmp/bench-ext4-XXXXXX)
truncate -s 16G "$image"
mkfs.ext4 -q -F "$image"
mount -o loop "$image" "$mount"
TMPDIR="$mount" "$@" || status=$?
umount "$mount"
rm -f "$image"
rmdir "$mount"
exit ${status:-0}
