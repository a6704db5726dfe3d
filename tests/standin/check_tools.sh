#!/usr/bin/env bash
# The stand-in handset checked by tools no one here wrote: libimobiledevice's idevice_id and ideviceinfo
# reach it through USBMUXD_SOCKET_ADDRESS, its lockdown TLS step takes the certificates of the pairing
# record and refuses others, its failure options fail as a handset does, and plugging follows the state file.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
udid=00008030-0012345678ABCDEF
failures=0
check() {  # check NAME EXPECTED-OUTPUT-PATTERN [stand-in options]
  local name=$1 pattern=$2 out; shift 2
  out=$("$here/with_standin.sh" --plugged --udid "$udid" "$@" -- sh -c 'idevice_id -l; ideviceinfo 2>&1' 2>&1) || true
  if printf '%s\n' "$out" | grep -Eq "$pattern"; then echo "ok: $name"
  else echo "FAIL: $name: wanted /$pattern/, got:"; printf '%s\n' "$out" | head -20; failures=$((failures + 1)); fi
}
check "listed and described" "^UniqueDeviceID: $udid\$"
check "a handset without a pairing record asks for trust" "Pairing dialog response pending" --no-pair-record
check "a locked handset refuses the session" "Password protected" --refuse-session=PasswordProtected

inside() {  # runs beside one plugged-in stand-in
  /usr/bin/python3 "$here/tls_probe.py" || return 1
  [ "$(ideviceinfo -k ProductVersion)" = 15.8 ] || { echo "FAIL: ProductVersion"; return 1; }
  rm "$STANDIN_DIR/plugged"
  for _ in $(seq 1 20); do [ -z "$(idevice_id -l)" ] && break; sleep 0.05; done
  [ -z "$(idevice_id -l)" ] || { echo "FAIL: still listed after unplugging"; return 1; }
  touch "$STANDIN_DIR/plugged"
  for _ in $(seq 1 20); do [ "$(idevice_id -l)" = "$udid" ] && break; sleep 0.05; done
  [ "$(ideviceinfo -k ProductVersion)" = 15.8 ] || { echo "FAIL: not back after plugging in again"; return 1; }
  echo "ok: unplugged and plugged in again"
}
export -f inside
export here udid
"$here/with_standin.sh" --plugged --udid "$udid" -- bash -c inside || failures=$((failures + 1))
exit $((failures > 0))
