#!/usr/bin/env bash
# Installs into a temporary root and drives the installed emulator with the installed host: the
# installed lcdhost must find its installed module by itself. A host project finds the header
# and the module with one line of pkg-config, from C and from C++.
set -euo pipefail
binary=$1
sources=$(cd "$(dirname "$0")/../.." && pwd)
root=$(mktemp -d)
emulator=""
trap '[ -n "$emulator" ] && kill "$emulator" 2>/dev/null; wait 2>/dev/null; rm -rf "$root"' EXIT

DESTDIR="$root" cmake --install "$binary" > /dev/null
usr="$root/usr"
test -f "$root/etc/quorvel/lcdhost.conf"
test -f "$usr/lib/systemd/system/lcdhost.service"

export PKG_CONFIG_PATH
PKG_CONFIG_PATH=$(dirname "$(find "$usr" -name quorvel.pc)")
module=$(pkg-config --variable=module quorvel)
test -f "$module"
# shellcheck disable=SC2046
cc -std=c11 -pedantic -Werror $(pkg-config --cflags quorvel) -o "$root/c-host" "$sources/tests/plugin/CHost.c" $(pkg-config --libs quorvel)
printf '#include "plugin/HostInterface.h"\nint main() { return getHardware == nullptr; }\n' > "$root/host.cpp"
# shellcheck disable=SC2046
c++ -std=c++20 -Werror $(pkg-config --cflags quorvel) -c -o "$root/host.o" "$root/host.cpp"

"$usr/bin/lcdemu" --link "$root/lcd" --rows 2 --cols 16 --dump "$root/screen.txt" --quiet &
emulator=$!
for _ in $(seq 100); do [ -L "$root/lcd" ] && break; sleep 0.05; done
mkdir -p "$root/home/Documents"
printf '[Quorvel.dll]\nPort=%s\n' "$root/lcd" > "$root/home/Documents/Vantorix3.ini"
HOME="$root/home" XDG_CONFIG_HOME="$root/home/.config" "$root/c-host" "$module" | grep -q 'queued work ran: yes'
HOME="$root/home" XDG_CONFIG_HOME="$root/home/.config" "$usr/bin/lcdhost" write 1 1 "installed"
for _ in $(seq 100); do grep -q '^installed' "$root/screen.txt" && exit 0; sleep 0.05; done
echo "the installed host did not reach the installed emulator:" >&2
cat "$root/screen.txt" >&2
exit 1
