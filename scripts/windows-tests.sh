#!/usr/bin/env bash
# The Windows build's tests under Wine (make windows-test, and so make test and CI): installs the
# cross tool chain and 32-bit Wine where it can, builds build-windows and runs its tests. Where
# Wine (or the tool chain) cannot be had, it says so loudly and skips, without failing: the Linux
# suite has run by then.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${JOBS:-2}
skip() {
  echo "=================================================================================" >&2
  echo "SKIPPED: the Windows tests under Wine: $1" >&2
  echo "=================================================================================" >&2
  exit 0
}
scripts/install-windows-deps.sh toolchain || skip "the mingw-w64 tool chain cannot be installed here"
scripts/install-windows-deps.sh wine || skip "32-bit Wine cannot be installed here"
started=$(date +%s)
cmake --preset windows
cmake --build --preset windows -j "$jobs"
ctest --test-dir build-windows --output-on-failure
echo "windows tests: $(( $(date +%s) - started )) s (build and run)"
