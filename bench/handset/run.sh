#!/usr/bin/env bash
# Handset copy throughput, Pelican against libimobiledevice, on the same stand-in handset and the same data in
# one run: a 100 MiB file and 1,000 small files (1-32 KiB), each way. Not a test; run by hand:
#   bench/handset/run.sh            (after scripts/build)
# Prints each side's MiB/s and the ratio Pelican / libimobiledevice (goal: at least 1.0 for every copy).
# ROUNDS=n sets the number of rounds (3); PIN=0 lets the stand-in share processors with the clients.
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
mkdir -p "$data/in/small"
head -c 100M /dev/urandom >"$data/in/large.bin"
/usr/bin/python3 - "$data/in/small" <<'PY'
import os, sys
for i in range(1000):
    with open(os.path.join(sys.argv[1], 'f%04d.bin' % i), 'wb') as f:
        f.write(os.urandom(1024 + i * 7919 % 31744))
PY

pelican=$BUILD/bench/handset_bench.exe
rounds=${ROUNDS:-3}
# A handset has a processor of its own: the stand-in gets the last one here and both clients the others. Sharing
# one, each round trip becomes a hand-over on a single processor, which no USB handset gives; on a machine of two
# processors that halves or doubles a side's figures from one run to the next, as the scheduler places them.
standin_cpus=() client_cpus=()
cpus=$(nproc)
if [ "${PIN:-1}" != 0 ] && [ "$cpus" -ge 2 ] && command -v taskset >/dev/null; then
  standin_cpus=(taskset -c $((cpus - 1))) client_cpus=(taskset -c 0-$((cpus - 2)))
fi
side() {  # side native|pelican: one round of one side into $data/<side>, its lines added to $data/<side>.txt
  rm -rf "$data/$1"; mkdir -p "$data/$1"
  if [ "$1" = native ]; then "$out/native_bench" "$data/in" "$data/native"
  else wine "$pelican" "Z:${data//\//\\}\\in" "Z:${data//\//\\}\\pelican" | tr -d '\r'; fi | tee -a "$data/$1.txt"
}
rounds() {
  # A Wine server already running would keep the processors it had.
  [ -f "$pelican" ] && { stop_wineserver; ensure_prefix; start_wineserver; }
  for r in $(seq 1 "$rounds"); do
    # The machine is shared: the sides take turns going first, and each copy's best round counts.
    order="native pelican"; [ $((r % 2)) -eq 0 ] && order="pelican native"
    for s in $order; do [ $s = native ] || [ -f "$pelican" ] && side $s; done
  done
  [ -f "$pelican" ] && stop_wineserver
  [ -f "$pelican" ] || echo "($pelican is not built: only the libimobiledevice side was measured)"
}
export -f side rounds ensure_prefix start_wineserver stop_wineserver
export out data pelican rounds
"${standin_cpus[@]}" "$ROOT/tests/standin/with_standin.sh" --plugged -- "${client_cpus[@]}" bash -c rounds |
  grep -v '^RESULT'

# Both sides must have brought back what they sent.
for s in native pelican; do
  [ -s "$data/$s.txt" ] || continue
  cmp -s "$data/in/large.bin" "$data/$s/large.bin" && diff -rq "$data/in/small" "$data/$s/small" >/dev/null ||
    { echo "FAIL: the $s copies differ from the originals"; exit 1; }
done
if [ -s "$data/pelican.txt" ]; then
  echo "best of $rounds rounds, MiB/s: libimobiledevice, Pelican, ratio Pelican / libimobiledevice (goal: 1.0 or more)"
  awk '$1 == "RESULT" { s = (FILENAME ~ /native/) ? "n" : "p"; if ($3 + 0 > best[s, $2] + 0) best[s, $2] = $3
                         names[$2] = 1 }
       END { for (k in names) printf "  %-18s %8.1f %8.1f %6.2f\n", k, best["n", k], best["p", k],
                                      (best["n", k] > 0 ? best["p", k] / best["n", k] : 0) }' \
    "$data/native.txt" "$data/pelican.txt"
fi
