#!/usr/bin/env bash
# Installs into a temporary prefix and drives the installed emulator with the installed host:
# the installed lcdhost must find its installed module by itself.
set -euo pipefail
binary=$1
prefix=$(mktemp -d)
emulator=""
trap '[ -n "$emulator" ] && kill "$emulator" 2>/dev/null; wait 2>/dev/null; rm -rf "$prefix"' EXIT

cmake --install "$binary" --prefix "$prefix/usr" > /dev/null
test -f "$prefix/usr/include/quorvel/plugin/HostInterface.h"
test -f "$prefix/usr/include/quorvel/display/LCDBaseControlUnit.h"

"$prefix/usr/bin/lcdemu" --link "$prefix/lcd" --rows 2 --cols 16 --dump "$prefix/screen.txt" --quiet &
emulator=$!
for _ in $(seq 100); do [ -L "$prefix/lcd" ] && break; sleep 0.05; done
mkdir -p "$prefix/home/Documents"
printf '[Quorvel.dll]\nPort=%s\n' "$prefix/lcd" > "$prefix/home/Documents/Vantorix3.ini"
HOME="$prefix/home" XDG_CONFIG_HOME="$prefix/home/.config" "$prefix/usr/bin/lcdhost" write 1 1 "installed"
for _ in $(seq 100); do grep -q '^installed' "$prefix/screen.txt" && exit 0; sleep 0.05; done
echo "the installed host did not reach the installed emulator:" >&2
cat "$prefix/screen.txt" >&2
exit 1
