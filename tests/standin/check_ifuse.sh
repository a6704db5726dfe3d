#!/usr/bin/env bash
# ifuse (libimobiledevice's FUSE file system) mounts the stand-in handset's media folder and works on it:
# listing, reading, true size of a 5 GiB sparse file, writing, folders, rename, delete, file times.
# Run by with_standin.sh --plugged. Exits 77 (skipped) with the reason where FUSE cannot be used here.
set -euo pipefail
skip() { echo "SKIPPED: $*"; exit 77; }
[ -c /dev/fuse ] && [ -r /dev/fuse ] && [ -w /dev/fuse ] || skip "/dev/fuse is missing or not usable by $(id -un)"
command -v fusermount >/dev/null || skip "fusermount is not installed"

media=$STANDIN_DIR/device/var/mobile/Media
mnt=$STANDIN_DIR/mnt
mkdir -p "$media/DCIM/100APPLE" "$mnt"
head -c 300000 /dev/urandom >"$media/DCIM/100APPLE/IMG_0001.JPG"
truncate -s 5G "$media/big.mov"
if ! err=$(ifuse "$mnt" 2>&1); then
  case $err in fuse:*|fusermount:*|*"/dev/fuse"*) skip "FUSE refused the mount: $err" ;; esac
  echo "FAIL: ifuse could not mount the stand-in: $err"; exit 1
fi
trap 'fusermount -u "$mnt" 2>/dev/null || true' EXIT

fail() { echo "FAIL: $*"; exit 1; }
[ "$(ls "$mnt/DCIM/100APPLE")" = IMG_0001.JPG ] || fail "listing: $(ls -la "$mnt/DCIM/100APPLE")"
cmp "$mnt/DCIM/100APPLE/IMG_0001.JPG" "$media/DCIM/100APPLE/IMG_0001.JPG" || fail "reading"
[ "$(stat -c %s "$mnt/big.mov")" = 5368709120 ] || fail "size of the 5 GiB file: $(stat -c %s "$mnt/big.mov")"
head -c 3000000 /dev/urandom >"$STANDIN_DIR/upload"
cp "$STANDIN_DIR/upload" "$mnt/upload.bin"
cmp "$STANDIN_DIR/upload" "$media/upload.bin" || fail "writing"
mkdir "$mnt/New Folder" && mv "$mnt/upload.bin" "$mnt/New Folder/renamed.bin"
[ -f "$media/New Folder/renamed.bin" ] && [ ! -e "$media/upload.bin" ] || fail "new folder and rename"
# By path: touch sets the time through its open file, which ifuse does not pass on.
/usr/bin/python3 -c 'import os, sys; os.utime(sys.argv[1], (1580702706, 1580702706))' "$mnt/New Folder/renamed.bin"
[ "$(stat -c %Y "$media/New Folder/renamed.bin")" = 1580702706 ] || fail "file time"
rmdir "$mnt/New Folder" 2>/dev/null && fail "a folder with contents was removed as if empty"
rm -r "$mnt/New Folder" && [ ! -e "$media/New Folder" ] || fail "removing a folder with its contents"
echo "ok: ifuse listed, read, wrote, renamed, removed and dated files on the stand-in"
