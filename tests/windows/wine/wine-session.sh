#!/usr/bin/env bash
# The Wine session that the Windows tests run in: `start STATE` makes (or reuses) a prefix of
# the build's own under STATE, with a Documents folder of its own (a new prefix links it to the
# user's home), builds the modem-lines shim, starts a virtual X display and a persistent
# wineserver (so each program starts in milliseconds), and writes STATE/env for run.sh;
# `stop STATE` ends the server and the display.
set -euo pipefail
action=$1
state=$(mkdir -p "$2" && cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

stop() {
  [ -f "$state/env" ] && (source "$state/env" && wineserver -k 2>/dev/null || true)
  if [ -f "$state/xvfb.pid" ]; then
    kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
    rm -f "$state/xvfb.pid"
  fi
}

if [ "$action" = stop ]; then
  stop
  exit 0
fi
stop

for tool in wine wineserver Xvfb gcc; do
  command -v "$tool" >/dev/null || { echo "wine-session: $tool is missing (scripts/install-windows-deps.sh wine)" >&2; exit 1; }
done

# The shim for 32-bit Wine; a 64-bit twin only keeps the 64-bit loader from complaining, since
# LD_PRELOAD names it through $LIB, which each loader expands to its own library folder.
shim=libquorvel-modem-lines.so
gcc -m32 -shared -fPIC -O2 -Wall -Wextra -o "$state/$shim.32" "$here/ModemLinesShim.c" -ldl
gcc -shared -fPIC -O2 -Wall -Wextra -o "$state/$shim.64" "$here/ModemLinesShim.c" -ldl
mkdir -p "$state/shim/lib/i386-linux-gnu" "$state/shim/lib/x86_64-linux-gnu"
mv "$state/$shim.32" "$state/shim/lib/i386-linux-gnu/$shim"
mv "$state/$shim.64" "$state/shim/lib/x86_64-linux-gnu/$shim"

# A display of its own, on the first free number.
for number in $(seq 90 130); do
  [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] || break
done
Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >"$state/xvfb.log" 2>&1 </dev/null &
echo $! >"$state/xvfb.pid"
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$number" ] && break; sleep 0.05; done
[ -e "/tmp/.X11-unix/X$number" ] || { echo "wine-session: Xvfb did not start (see $state/xvfb.log)" >&2; exit 1; }

mkdir -p "$state/home"
cat >"$state/env" <<ENV
export HOME='$state/home'
export WINEPREFIX='$state/prefix'
export WINEDEBUG=-all
export WINEDLLOVERRIDES='mscoree,mshtml='
export DISPLAY=':$number'
export LD_PRELOAD='$state/shim/\$LIB/$shim'
ENV
source "$state/env"

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  started=$(date +%s)
  wineboot -i >"$state/wineboot.log" 2>&1 </dev/null || { cat "$state/wineboot.log" >&2; echo "wine-session: no prefix" >&2; exit 1; }
  wineserver -w
  echo "wine-session: new prefix in $(( $(date +%s) - started )) s"
fi
# The settings file goes to a Documents folder of the prefix's own, never the user's home.
documents="$WINEPREFIX/drive_c/users/$(id -un)/Documents"
if [ -L "$documents" ]; then
  rm "$documents"
  mkdir -p "$documents"
fi
# Detached from the caller's output, which ctest waits to see closed.
wineserver -p >/dev/null 2>&1 </dev/null
# Wine's own services start with the first program and live with the server: they start here,
# detached likewise. Wine draws the windows' frames and captions itself (Xvfb runs no window
# manager to draw them).
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1 </dev/null
echo "wine-session: prefix $WINEPREFIX, display :$number"
