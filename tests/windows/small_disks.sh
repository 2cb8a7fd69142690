#!/bin/bash
# Mounts, as root, two 64 KiB file systems holding old.log: DIR/full and
# DIR/readonly, read-only. `stop` unmounts them.
# usage: small_disks.sh start|stop DIR
set -eu
for disk in full readonly; do
    ! mountpoint -q "$2/$disk" || umount "$2/$disk"
    [ "$1" = stop ] && continue
    mkdir -p "$2/$disk"
    mount -t tmpfs -o size=64k tmpfs "$2/$disk"
    printf 'old log\r\n' >"$2/$disk/old.log"
done
[ "$1" = stop ] || mount -o remount,ro "$2/readonly"
