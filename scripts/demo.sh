#!/usr/bin/env bash
# The demo: an emulated 4 by 20 display on a pseudo-terminal, driven by the reference host
# through the real module and the real serial component. Needs no display server and no
# hardware.
set -euo pipefail
build=${1:-build}
lcdemu="$build/tools/lcdemu/lcdemu"
lcdhost="$build/tools/lcdhost/lcdhost"

work=$(mktemp -d)
emulator=""
cleanup() {
  [ -n "$emulator" ] && kill "$emulator" 2>/dev/null && wait "$emulator" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

# The emulator draws the display live when this runs on a terminal.
view=--quiet
[ -t 1 ] && view=
"$lcdemu" --link "$work/lcd" --rows 4 --cols 20 --dump "$work/screen.txt" --control "$work/keys" $view &
emulator=$!
for _ in $(seq 100); do [ -L "$work/lcd" ] && break; sleep 0.05; done

# A HOME of the demo's own, whose settings file points the module at the emulator.
mkdir -p "$work/home/Documents"
printf '[Quorvel.dll]\nLines count=4\nCols count=20\nPort=%s\nBaudrate=7\n' "$work/lcd" \
  > "$work/home/Documents/Vantorix3.ini"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
host() { "$lcdhost" "$@"; }

show() { [ -t 1 ] || { echo "$1"; sed -n '1,4p' "$work/screen.txt"; echo; }; }

host write 1 1 "Привет, мир!" \
     write 1 2 "Hello, world!" \
     char 0 0 a 1f 1f e 4 0 0 \
     write 1 4 $'Quorvel \x01 LCD' \
     sleep 1500
show "the greeting, with user character 0 (a heart) on row 4:"

host clear \
     write 1 4 "Время и дата:" \
     clock 3
show "after a clear, the clock:"

# A key of the display's keypad travels back to the host: lcdhost listens on the display's line
# through the serial component, the control pipe presses key A, and the host reports it.
"$lcdhost" clear write 1 1 "Press a key..." listen "$work/lcd" 10000 > "$work/host.txt" &
listener=$!
for _ in $(seq 100); do grep -q '^listening' "$work/host.txt" && break; sleep 0.05; done
printf a > "$work/keys"
for _ in $(seq 100); do grep -q '^bytes waiting' "$work/host.txt" && break; sleep 0.05; done
kill -INT "$listener" && wait "$listener" || true
arrived=$(sed -n 's/^bytes waiting: //p' "$work/host.txt" | tail -n 1)
host write 1 2 "The host received" write 1 3 "${arrived:-no} byte(s)" sleep 1500
show "a key pressed on the display, as the host saw it arrive:"
[ -t 1 ] || { cat "$work/host.txt"; echo; sed -n '6,$p' "$work/screen.txt"; }
