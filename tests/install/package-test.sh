#!/usr/bin/env bash
# The two packages as a user installs them, on a clean Debian 12 root: the base package alone
# (nothing graphical comes with it) runs lcdhost --help and lcdhost info against lcdemu; the
# dialog package then brings the Qt it needs; the service stays disabled.
set -euo pipefail
binary=$(cd "$1" && pwd)
skip() { echo "SKIP: $*" >&2; exit 77; }
[ "$(id -u)" -eq 0 ] || skip "building and entering a Debian root needs root"
command -v debootstrap > /dev/null || skip "debootstrap is not installed"

work=$(mktemp -d /var/tmp/quorvel-package-XXXXXX)
root=$work/root
emulator=""
cleanup() {
  [ -n "$emulator" ] && kill "$emulator" 2> /dev/null && wait "$emulator" 2> /dev/null
  for mounted in "$root/dev/pts" "$root/dev" "$root/proc"; do
    mountpoint -q "$mounted" && umount -l "$mounted"
  done
  rm -rf "$work"
}
trap cleanup EXIT

(cd "$binary" && cpack -G DEB -B "$work/debs" > "$work/cpack.log") || { cat "$work/cpack.log" >&2; exit 1; }

# A root is made once per build folder and unpacked afresh for every run.
cache=$binary/package-test/bookworm-minbase.tar
if [ ! -f "$cache" ]; then
  mirror=$(sed -n 's/^URIs: *//p' /etc/apt/sources.list.d/debian.sources 2> /dev/null | head -1)
  mkdir -p "$work/fresh" "$(dirname "$cache")"
  if ! debootstrap --variant=minbase bookworm "$work/fresh" "${mirror:-http://deb.debian.org/debian}" \
       > "$work/debootstrap.log" 2>&1; then
    skip "debootstrap could not make a Debian 12 root: $(tail -1 "$work/debootstrap.log")"
  fi
  tar -C "$work/fresh" -cf "$cache.partial" . && mv "$cache.partial" "$cache"
  rm -rf "$work/fresh"
fi
mkdir -p "$root"
tar -C "$root" -xf "$cache"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
mount -t proc proc "$root/proc"
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp "$work"/debs/*.deb "$root/tmp/"
inside() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root "$@"; }

inside dpkg -i /tmp/quorvel_1.0.0_amd64.deb
if inside dpkg-query -W -f='${Depends}' quorvel | grep -Ei 'qt|x11|xcb|wayland|libgl|gtk'; then
  echo "the base package depends on something graphical" >&2
  exit 1
fi
inside lcdhost --help | grep -q 'run CONFIG'
inside ldd /usr/lib/x86_64-linux-gnu/quorvel/Quorvel.so | grep -qi qt && { echo "the module needs Qt" >&2; exit 1; }

chroot "$root" /usr/bin/lcdemu --link /tmp/lcd --rows 2 --cols 16 --dump /tmp/screen.txt --quiet &
emulator=$!
for _ in $(seq 100); do [ -L "$root/tmp/lcd" ] && break; sleep 0.05; done
mkdir -p "$root/root/Documents"
printf '[Quorvel.dll]\nPort=/tmp/lcd\nLines count=2\nCols count=16\n' > "$root/root/Documents/Vantorix3.ini"
inside lcdhost info | tee "$work/info" | grep -q 'Control: present, active, 2 x 16' || { cat "$work/info" >&2; exit 1; }
inside lcdhost write 1 1 "packaged"
for _ in $(seq 100); do grep -q '^packaged' "$root/tmp/screen.txt" && break; sleep 0.05; done
grep -q '^packaged' "$root/tmp/screen.txt"

# The dialog package needs Qt, which dpkg alone cannot bring; apt fetches it.
if ! inside dpkg -i /tmp/quorvel-dialog_1.0.0_amd64.deb > "$work/dialog.log" 2>&1; then
  grep -q 'dependency problems' "$work/dialog.log" || { cat "$work/dialog.log" >&2; exit 1; }
  inside env DEBIAN_FRONTEND=noninteractive apt-get -q -o Acquire::Retries=3 update > "$work/apt.log" 2>&1 &&
    inside env DEBIAN_FRONTEND=noninteractive apt-get -q -y -f install --no-install-recommends >> "$work/apt.log" 2>&1 ||
    skip "apt could not fetch what the dialog package needs: $(tail -1 "$work/apt.log")"
fi
inside dpkg-query -W -f='${Status}' quorvel-dialog | grep -q 'install ok installed'
if inside ldd /usr/lib/x86_64-linux-gnu/quorvel/QuorvelDialog.so | grep 'not found'; then
  echo "the dialog part misses libraries" >&2
  exit 1
fi
[ ! -e "$root/etc/systemd/system/multi-user.target.wants/lcdhost.service" ] || { echo "the service was enabled" >&2; exit 1; }
echo "packages installed and ran on a clean Debian 12 root"
