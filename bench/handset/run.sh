#!/usr/bin/env bash
# Handset copy throughput, Pelican against libimobiledevice, on the same stand-in handset and the same data in
# one run: a 100 MiB file and 1,000 small files (1-32 KiB), each way. Not a test; run by hand:
#   bench/handset/run.sh            (after scripts/build)
# Prints each side's MiB/s and the ratio Pelican / libimobiledevice (goal: at least 1.0 for every copy).
set -euo pipefail
source "$(dirname "$0")/../../scripts/common.sh"
out=$BUILD/bench/handset
mkdir -p "$out"

# The native side: built here, only where the native compiler and libimobiledevice-dev are.
command -v cc >/dev/null && pkg-config --exists libimobiledevice-1.0 ||
  { echo "needs cc and libimobiledevice-dev (scripts/bootstrap installs them)"; exit 1; }
cc -O2 -Wall -Wextra -Werror -o "$out/native_bench" "$ROOT/bench/handset/native_bench.c" \
  $(pkg-config --cflags --libs libimobiledevice-1.0)

data=$(mktemp -d "${TMPDIR:-/tmp}/handset-bench.XXXXXX")
trap 'rm -rf "$data"' EXIT
mkdir -p "$data/in/small" "$data/native" "$data/pelican"
head -c 100M /dev/urandom >"$data/in/large.bin"
/usr/bin/python3 - "$data/in/small" <<'PY'
import os, sys
for i in range(1000):
    with open(os.path.join(sys.argv[1], 'f%04d.bin' % i), 'wb') as f:
        f.write(os.urandom(1024 + i * 7919 % 31744))
PY

pelican=$BUILD/bench/handset_bench.exe
both() {
  "$out/native_bench" "$data/in" "$data/native" | tee "$data/native.txt"
  if [ -f "$pelican" ]; then
    ensure_prefix; start_wineserver
    (unset PELICAN_DEVICE_ROOT; wine "$pelican" "Z:${data//\//\\}\\in" "Z:${data//\//\\}\\pelican") |
      tr -d '\r' | tee "$data/pelican.txt"
    stop_wineserver
  else
    echo "($pelican is not built: only the libimobiledevice side was measured)"
  fi
}
export -f both ensure_prefix start_wineserver stop_wineserver
export out data pelican
"$ROOT/tests/standin/with_standin.sh" --plugged -- bash -c both

# Both sides must have brought back what they sent.
for side in native pelican; do
  [ -s "$data/$side.txt" ] || continue
  cmp -s "$data/in/large.bin" "$data/$side/large.bin" && diff -rq "$data/in/small" "$data/$side/small" >/dev/null ||
    { echo "FAIL: the $side copies differ from the originals"; exit 1; }
done
if [ -s "$data/pelican.txt" ]; then
  echo "ratio Pelican / libimobiledevice (above 1.0: Pelican is faster)"
  awk '$1 == "RESULT" { if (FILENAME ~ /native/) n[$2] = $3; else p[$2] = $3 }
       END { for (k in n) printf "  %-18s %6.2f\n", k, (k in p && n[k] > 0) ? p[k] / n[k] : 0 }' \
    "$data/native.txt" "$data/pelican.txt"
fi
