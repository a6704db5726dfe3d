#!/usr/bin/env bash
# Makes a device folder for the whole-path benchmark much faster than Wine can:
#   bench/fileview/make-device.sh 100000 /tmp/pelican-bench-device
# then run fileview_bench with PELICAN_BENCH_DEVICE=Z:\tmp\pelican-bench-device\ set.
set -euo pipefail
files=${1:-20000}
root=${2:-/tmp/pelican-bench-device}
mkdir -p "$root/var/mobile/Media/Big"
/usr/bin/python3 - "$files" "$root/var/mobile/Media/Big" <<'PY'
import os, sys
count, folder = int(sys.argv[1]), sys.argv[2]
kinds = ['.jpg', '.png', '.mov', '.mp3', '.m4a', '.txt', '.plist', '.db', '.heic', '']
for i in range(count):
    open(os.path.join(folder, 'IMG_%d%s' % (10000 + i, kinds[i % 10])), 'a').close()
PY
echo "$root: $(ls "$root/var/mobile/Media/Big" | wc -l) files"
