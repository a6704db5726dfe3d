#!/usr/bin/env bash
# Builds the packages from the finished build, then tests them under Wine in a
# fresh prefix of their own: the installer's life cycle, the portable zip in a
# folder with non-ASCII characters and blanks, and the updater against a local
# HTTP server. Usage: run_package_tests.sh BUILD TESTEXE [gtest args]
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=$1; TESTEXE=$2; shift 2
WORK=$BUILD/package-test
winpath() { echo "Z:$(echo "$1" | tr / '\\')"; }

rm -rf "$WORK"; mkdir -p "$WORK/served"
PELICAN_BUILD=$BUILD "$ROOT/scripts/package" --no-build --out "$WORK/dist" \
  --update-address https://updates.example/pelican.txt >/dev/null
SETUP=$(ls "$WORK"/dist/Pelican-*-setup.exe); ZIP=$(ls "$WORK"/dist/Pelican-*-win64.zip)

# The packages themselves: nothing of the build machine in any file.
/usr/bin/python3 - "$ZIP" "$ROOT" "$BUILD" <<'PY'
import sys, zipfile
zip_path, *paths = sys.argv[1:]
needles = set()
for p in paths + ['Z:\\']:
    for v in (p, 'Z:' + p.replace('/', '\\')) if p.startswith('/') else (p,):
        needles |= {v.encode(), v.encode('utf-16-le'), v.lower().encode('utf-16-le')}
with zipfile.ZipFile(zip_path) as z:
    for name in z.namelist():
        data = z.read(name)
        for n in needles:
            if n in data:
                sys.exit('%s in the zip holds a path of the build machine: %r' % (name, n))
PY

# The portable copy; the test copies it on into a folder with a non-ASCII name.
PORTABLE=$WORK/unzipped
/usr/bin/python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$ZIP" "$PORTABLE"
cp "$SETUP" "$WORK/served/setup.exe"
cp -r "$ROOT/demo/device" "$WORK/device"

export WINEPREFIX=$WORK/prefix WINEARCH=win64 WINEDEBUG=-all
# No Mono/Gecko prompts, and no menu entries on this machine for the shortcuts the installer makes.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
mkdir -p "$WINEPREFIX"
start=$(date +%s)
wineboot -i >/dev/null 2>&1 </dev/null || true
wineserver -w
echo "fresh prefix: $(( $(date +%s) - start )) s"
wineserver -p
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null || true

/usr/bin/python3 "$(dirname "$0")/update_server.py" --root "$WORK/served" --port-file "$WORK/port" &
SERVER=$!
cleanup() { kill "$SERVER" 2>/dev/null || true; wineserver -k 2>/dev/null || true; }
trap cleanup EXIT
for _ in $(seq 1 100); do [ -f "$WORK/port" ] && break; sleep 0.05; done

status=0
PELICAN_SETUP=$(winpath "$SETUP") \
PELICAN_SETUP_SHA256=$(sha256sum "$SETUP" | cut -d' ' -f1) \
PELICAN_PORTABLE=$(winpath "$PORTABLE/Pelican") \
PELICAN_DEVICE_ROOT=$(winpath "$WORK/device") \
PELICAN_UPDATE_ROOT=$(winpath "$WORK/served") \
PELICAN_UPDATE_PORT=$(cat "$WORK/port") \
PELICAN_UPDATE_TIMEOUT_MS=1500 \
  wine "$TESTEXE" "$@" </dev/null || status=$?
exit $status
