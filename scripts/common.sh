# Shared by the scripts: build folder, Wine prefix and display handling.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${PELICAN_BUILD:-$ROOT/build}
export WINEPREFIX=${WINEPREFIX:-$BUILD/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=win64

# A new prefix takes a while the first time; later runs reuse it.
ensure_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 </dev/null || true
    wineserver -w 2>/dev/null || true
  fi
}

XVFB_PID=
# Starts a private Xvfb unless told to use an existing display.
start_display() {
  if [ -n "${PELICAN_USE_DISPLAY:-}" ] && [ -n "${DISPLAY:-}" ]; then return; fi
  local n
  for n in $(seq 91 140); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
    Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 1 50); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
    export DISPLAY=:$n
    return
  done
  echo "no free X display number" >&2; exit 1
}

stop_display() { [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null; XVFB_PID=; }

# One persistent Wine server, warmed with its standard streams detached so
# that Wine's service processes never hold a pipe of ours open.
start_wineserver() {
  wineserver -p 2>/dev/null || true
  wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}
stop_wineserver() { wineserver -k 2>/dev/null || true; }

# Under Xvfb there is no window manager; Wine would wait ~2 s for one at every
# modal dialog. Unmanaged windows skip that wait. On a real desktop, managed
# windows get decorations and focus from the window manager.
set_managed() {
  local want=$1 have=
  [ -f "$WINEPREFIX/user.reg" ] && grep -q '^"Managed"="N"' "$WINEPREFIX/user.reg" && have=N
  if [ "$want" = N ] && [ "$have" != N ]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null || true
  elif [ "$want" = Y ] && [ "$have" = N ]; then
    wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1 </dev/null || true
  fi
}
