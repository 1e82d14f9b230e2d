#!/usr/bin/env bash
# The session of the bench on real drivers, as ctest's fixture runs it: prepares the machine,
# boots it and serves it with the harness, which keeps every guest test's result for the ctest
# test of the same name. When the machine cannot run here, says why and exits 77 (skipped).
#
#   run-bench.sh MACHINE_DIR HARNESS
set -uo pipefail

machine=$1 harness=$2
here=$(cd "$(dirname "$0")" && pwd)
results=$machine/results
rm -rf "$results" && mkdir -p "$results"

if ! prepared=$("$here/prepare-machine.sh" "$machine" "$machine/guest" "$here/init" 2> "$results/prepare.log" | tail -n 1) ||
   [ -z "$prepared" ]; then
  reason=$(tail -n 3 "$results/prepare.log")
  echo "${reason:-the machine could not be prepared}" > "$results/unavailable"
  echo "The tests on real drivers are SKIPPED: ${reason:-the machine could not be prepared}"
  exit 77
fi
read -r kernel initramfs <<< "$prepared"
exec "$harness" run "$results" "$kernel" "$initramfs"
