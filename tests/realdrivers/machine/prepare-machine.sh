#!/usr/bin/env bash
# Prepares the bench's machine in MACHINE_DIR: QEMU and busybox (installed when missing, as
# root), Debian's own kernel with the six USB serial modules (fetched once with apt-get download
# and unpacked here, never installed), and an initramfs holding busybox, the modules, the start-up
# script and every guest program in PROGRAM_DIR with the shared libraries it needs.
#
#   prepare-machine.sh MACHINE_DIR PROGRAM_DIR INIT_SCRIPT
#
# Prints the kernel's and the initramfs's paths on its last line. When something cannot be had
# it says why on standard error and exits 1: the tests are then skipped, not failed.
set -euo pipefail

machine=$1 programs=$2 init=$3
modules=(usb-common usbcore xhci-hcd xhci-pci usbserial ftdi_sio)
packages=(qemu-system-x86 busybox-static xz-utils)

fail() { echo "$*" >&2; exit 1; }
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

missing=()
for p in "${packages[@]}"; do installed "$p" || missing+=("$p"); done
if [ ${#missing[@]} -gt 0 ]; then
  [ "$(id -u)" -eq 0 ] || fail "missing packages (install them as root): ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null 2>&1 ||
    { apt-get update -q >/dev/null 2>&1 && apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null 2>&1; } ||
    fail "the packages ${missing[*]} could not be installed (no network, or no such package here)"
fi

kernel_dir=$machine/kernel
if [ ! -s "$kernel_dir/kernel" ] || [ ! -s "$kernel_dir/modules/ftdi_sio.ko" ]; then
  rm -rf "$kernel_dir" && mkdir -p "$kernel_dir/download" "$kernel_dir/unpacked" "$kernel_dir/modules"
  image() { { apt-cache depends linux-image-amd64 2>/dev/null || true; } | awk '/Depends: linux-image-[0-9]/ { print $2; exit }'; }
  package=$(image)
  [ -n "$package" ] || { apt-get update -q >/dev/null 2>&1 || true; package=$(image); }
  [ -n "$package" ] || fail "no Debian kernel package is known here (apt-cache depends linux-image-amd64)"
  (cd "$kernel_dir/download" && apt-get download "$package" >/dev/null 2>&1) || fail "the kernel package $package could not be downloaded"
  deb=$(ls "$kernel_dir"/download/*.deb 2>/dev/null) || fail "apt-get download gave no package for $package"
  patterns=('./boot/vmlinuz-*')
  for m in "${modules[@]}"; do patterns+=("./lib/modules/*/$m.ko"); done
  dpkg-deb --fsys-tarfile "$deb" | tar -x -C "$kernel_dir/unpacked" --wildcards "${patterns[@]}" ||
    fail "the kernel and its USB serial modules could not be unpacked from $deb"
  for m in "${modules[@]}"; do
    found=$(find "$kernel_dir/unpacked" -name "$m.ko" | head -n 1)
    [ -n "$found" ] || fail "the module $m.ko is not in $deb"
    cp "$found" "$kernel_dir/modules/"
  done
  vmlinuz=$(ls "$kernel_dir"/unpacked/boot/vmlinuz-*)
  # QEMU boots the uncompressed kernel through PVH, seconds faster under emulation than the
  # compressed image. It is the xz stream inside the image; without one, the image is booted.
  offset=$(grep -abo $'\xfd7zXZ' "$vmlinuz" | head -n 1 | cut -d: -f1 || true)
  if [ -n "$offset" ]; then tail -c +$((offset + 1)) "$vmlinuz" | xz -dc > "$kernel_dir/vmlinux" 2>/dev/null || true; fi
  if [ -s "$kernel_dir/vmlinux" ] && [ "$(head -c 4 "$kernel_dir/vmlinux" | od -An -c | tr -d ' ')" = '177ELF' ]; then
    mv "$kernel_dir/vmlinux" "$kernel_dir/kernel"
  else
    cp "$vmlinuz" "$kernel_dir/kernel"
  fi
  rm -rf "$kernel_dir/download" "$kernel_dir/unpacked" "$kernel_dir/vmlinux"
fi

# The modules in an order that loads each after those it depends on (each .ko names them).
depends() { tr '\0' '\n' < "$kernel_dir/modules/$1.ko" | sed -n 's/^depends=//p' | tr ',' ' ' | sed 's/-/_/g'; }
order=() loaded=" "
while [ ${#order[@]} -lt ${#modules[@]} ]; do
  progress=0
  for m in "${modules[@]}"; do
    case "$loaded" in *" ${m//-/_} "*) continue ;; esac
    ready=1
    for d in $(depends "$m"); do case "$loaded" in *" $d "*) ;; *) ready=0 ;; esac; done
    if [ $ready -eq 1 ]; then order+=("$m"); loaded="$loaded${m//-/_} "; progress=1; fi
  done
  [ $progress -eq 1 ] || fail "the modules' dependencies cannot be ordered"
done

root=$machine/root
rm -rf "$root" && mkdir -p "$root"/{bin,dev,proc,sys,tmp,root,tests,lib/modules}
busybox=$(command -v busybox) || fail "busybox is not installed"
cp "$busybox" "$root/bin/busybox"
for applet in sh mount mkdir insmod cat echo poweroff; do ln -s busybox "$root/bin/$applet"; done
cp "$kernel_dir"/modules/*.ko "$root/lib/modules/"
printf '%s\n' "${order[@]}" > "$root/lib/modules/load-order"
cp "$init" "$root/init" && chmod 755 "$root/init"
shopt -s nullglob
for program in "$programs"/*; do
  [ -x "$program" ] && [ -f "$program" ] || continue
  objcopy --strip-debug "$program" "$root/tests/${program##*/}"
  # The shared libraries it needs, at the paths the dynamic loader looks in.
  for library in $(ldd "$program" | grep -o '/[^ ]*'); do
    [ -e "$root$library" ] && continue
    mkdir -p "$root$(dirname "$library")"
    cp -L "$library" "$root$library"
  done
done
(cd "$root" && find . | busybox cpio -o -H newc > "$machine/initramfs.cpio" 2>/dev/null) || fail "the initramfs could not be packed"
echo "$kernel_dir/kernel $machine/initramfs.cpio"
