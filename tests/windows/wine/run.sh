#!/usr/bin/env bash
# Runs a Windows program in the tests' Wine session (wine-session.sh start STATE first).
set -euo pipefail
state=$1
shift
source "$state/env"
exec wine "$@"
