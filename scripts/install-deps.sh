#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, but only those that are missing,
# so that a machine that has everything is not touched. Needs root for apt-get; without root it
# only reports what is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ make pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev libboost-dev qt6-serialport-dev
  qt6-base-dev fonts-dejavu-core dpkg-dev debootstrap
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "missing packages (run as root to install them): ${missing[*]}" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}"
