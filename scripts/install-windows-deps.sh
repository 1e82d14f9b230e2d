#!/usr/bin/env bash
# Installs what the Windows build and its tests need, from Debian's packages, only where missing.
#   install-windows-deps.sh toolchain   the i686 mingw-w64 cross compiler and GoogleTest's sources
#   install-windows-deps.sh wine        32-bit Wine, Xvfb, xdotool and a 32-bit C compiler (for the
#                                       tests' shim), for running the tests
# Exit status: 0 installed (or already there), 1 a failure, with what failed on standard error.
# Without root it only reports what is missing.
set -euo pipefail

part=${1:-toolchain}
case "$part" in
  toolchain) packages=(cmake ninja-build make g++-mingw-w64-i686-posix mingw-w64-i686-dev googletest) ;;
  wine) packages=(wine wine32:i386 fonts-wine xvfb xdotool gcc-multilib) ;;
  *) echo "usage: $0 toolchain|wine" >&2; exit 2 ;;
esac

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

missing=()
for p in "${packages[@]}"; do installed "$p" || missing+=("$p"); done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "missing packages (run as root to install them): ${missing[*]}" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
apt=(apt-get -q -o DPkg::Lock::Timeout=600)
log=$(mktemp)
trap 'rm -f "$log"' EXIT

install() { "${apt[@]}" install -y --no-install-recommends "${missing[@]}" >"$log" 2>&1; }
fail() {
  tail -n 20 "$log" >&2
  echo "install-windows-deps: $1" >&2
  exit 1
}

if [ "$part" = toolchain ]; then
  "${apt[@]}" update >"$log" 2>&1 || fail "apt-get update failed"
  install || fail "could not install ${missing[*]}"
  exit 0
fi

# Wine for 32-bit programs comes from the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
"${apt[@]}" update >"$log" 2>&1 || true
install && exit 0

# A known trap: the security suite's i386 index can fail to download (a mirror in the middle of a
# sync) while its amd64 index did not. Libraries that both architectures install must have the
# same version on both, and the amd64 side, at security versions, cannot then be matched. So the
# security suite is ranked below the point release (it still serves what only it has), and a
# library of Wine's that is installed at a version the i386 side lacks moves to the one it has.
pin=/etc/apt/preferences.d/quorvel-wine-point-release
echo "install-windows-deps: the Wine install failed; retrying with the point release's versions" >&2
cat >"$pin" <<'EOF'
# Written by Quorvel's scripts/install-windows-deps.sh: the security suite's i386 index could not be
# had, so both architectures take the point release's versions, as 32-bit Wine needs.
Package: *
Pin: release l=Debian-Security
Pin-Priority: 100
EOF
closure=$(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks --no-replaces \
  --no-enhances wine32:i386 2>/dev/null | sed -n 's/^\([a-z0-9][^ ]*\):i386$/\1/p' | sort -u || true)
[ -n "$closure" ] || fail "apt knows no wine32:i386; is the i386 architecture's index there?"
request=("${missing[@]}")
for p in $closure; do
  have=$(dpkg-query -W -f='${Version} ${Status}' "$p:amd64" 2>/dev/null | awk '/install ok installed/ {print $1}' || true)
  [ -n "$have" ] || continue
  offered=$(apt-cache policy "$p:i386" | awk '/Candidate:/ {print $2}' || true)
  [ -n "$offered" ] && [ "$offered" != "(none)" ] && dpkg --compare-versions "$have" gt "$offered" || continue
  echo "install-windows-deps: $p goes from $have to $offered, the version the i386 side has" >&2
  request+=("$p:amd64=$offered")
done
# Nothing installed may go on the way: a package the plan would remove is kept by asking for it.
removed=$("${apt[@]}" install -s --no-install-recommends --allow-downgrades "${request[@]}" 2>/dev/null |
  sed -n 's/^Remv \([^ ]*\) .*/\1/p' || true)
"${apt[@]}" install -y --no-install-recommends --allow-downgrades "${request[@]}" $removed >"$log" 2>&1 && exit 0
fail "could not install ${missing[*]} (32-bit Wine); the Windows tests cannot run on this machine"
