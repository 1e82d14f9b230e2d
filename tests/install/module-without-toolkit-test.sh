#!/usr/bin/env bash
# The module on a machine without a GUI toolkit: nothing of Qt is among what it needs, and with
# every Qt library hidden from the dynamic loader it loads, drives the display and finishes;
# the settings dialog, which has no window to show, says so clearly.
set -euo pipefail
build=$(cd "$1" && pwd)

if readelf -d "$build/Quorvel.so" | grep NEEDED | grep -i 'qt'; then
  echo "the module needs Qt" >&2
  exit 1
fi

if [ "${2:-}" != --hidden ]; then
  if [ "$(id -u)" -ne 0 ] || ! unshare --mount true 2>/dev/null; then
    echo "SKIP: hiding Qt needs root and a mount namespace of the test's own" >&2
    exit 77
  fi
  exec unshare --mount --propagation private bash "$0" "$build" --hidden
fi

# In a mount namespace of this test's own: every Qt library becomes an empty file.
for library in /usr/lib/*/libQt6*.so.*; do
  [ -L "$library" ] || mount --bind /dev/null "$library"
done
loader=$(ldd "$build/QuorvelDialog.so" 2>&1 || true)
if ! grep -q -e 'not found' -e 'too short' -e 'invalid ELF' <<< "$loader"; then
  echo "Qt is still there to be loaded" >&2
  exit 1
fi

work=$(mktemp -d)
emulator=""
trap '[ -n "$emulator" ] && kill "$emulator" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
"$build/tools/lcdemu/lcdemu" --link "$work/lcd" --rows 2 --cols 16 --dump "$work/screen.txt" --quiet &
emulator=$!
for _ in $(seq 400); do [ -L "$work/lcd" ] && break; sleep 0.05; done
mkdir -p "$work/home/Documents"
printf '[Quorvel.dll]\nPort=%s\n' "$work/lcd" > "$work/home/Documents/Vantorix3.ini"
host() { env HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" "$build/tools/lcdhost/lcdhost" "$@"; }

host info > "$work/info" 2>&1 || true
grep -q 'Control: present, active, 2 x 16' "$work/info" || { echo "lcdhost info:" >&2; cat "$work/info" >&2; exit 1; }
host write 1 1 "no toolkit" write 1 2 "needed"
for _ in $(seq 400); do grep -q '^needed' "$work/screen.txt" 2> /dev/null && break; sleep 0.05; done
grep -q '^no toolkit' "$work/screen.txt" && grep -q '^needed' "$work/screen.txt" ||
  { echo "the display shows:" >&2; cat "$work/screen.txt" >&2; exit 1; }

# A screen to show on, but no toolkit to show with, and no terminal to ask on.
if QT_QPA_PLATFORM=offscreen setsid --wait env HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" \
     "$build/tools/lcdhost/lcdhost" configure < /dev/null > "$work/out" 2> "$work/err"; then
  echo "configure succeeded without any way to show the dialog" >&2
  exit 1
fi
grep -q 'cannot be shown' "$work/err" || { cat "$work/err" >&2; exit 1; }
