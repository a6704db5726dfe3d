#!/usr/bin/env bash
# Runs a command beside a fresh stand-in handset, then stops the handset:
#   with_standin.sh [stand-in options] -- command args...
# Without --media the handset gets an empty device tree under the state folder. The command sees
# USBMUXD_SOCKET_ADDRESS, STANDIN_DIR (the state folder) and PELICAN_STANDIN_DIR (the same as Z:\...).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
opts=()
while [ $# -gt 0 ] && [ "$1" != -- ]; do opts+=("$1"); shift; done
[ $# -gt 0 ] && shift
[ $# -gt 0 ] || { echo "usage: $0 [stand-in options] -- command args..." >&2; exit 2; }

dir=$(mktemp -d "${TMPDIR:-/tmp}/standin.XXXXXX")
pid= cmd=
cleanup() {
  for p in $cmd $pid; do kill "$p" 2>/dev/null && wait "$p" 2>/dev/null; done
  rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 143' TERM INT
case " ${opts[*]-} " in
  *" --media "*) ;;
  *) mkdir -p "$dir/device/var/mobile/Media"; opts+=(--media "$dir/device/var/mobile/Media") ;;
esac
# RSA key generation is most of the start-up time: the keys are made once and kept.
keys=${PELICAN_STANDIN_KEYS:-${TMPDIR:-/tmp}/pelican-standin-keys-$(id -u).pem}
/usr/bin/python3 "$here/standin.py" --state "$dir" --keys "$keys" "${opts[@]}" 2>"$dir/standin.log" &
pid=$!
for _ in $(seq 1 200); do
  [ -f "$dir/port" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.05
done
if [ ! -f "$dir/port" ]; then
  echo "the stand-in handset did not start:" >&2; cat "$dir/standin.log" >&2; exit 1
fi
export USBMUXD_SOCKET_ADDRESS=127.0.0.1:$(cat "$dir/port")
export STANDIN_DIR=$dir
export PELICAN_STANDIN_DIR="Z:${dir//\//\\}"
# In the background, so that a time-out's TERM stops the command and the handset at once.
"$@" <&0 &
cmd=$!
status=0
wait "$cmd" || status=$?
cmd=
if [ "$status" -ne 0 ]; then echo "== stand-in log:" >&2; cat "$dir/standin.log" >&2; fi
exit $status
