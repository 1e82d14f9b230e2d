#!/usr/bin/env bash
# Runs windows_dialog_tests.exe in the Wine session and presses its keys: real key events on the
# session's X display (xdotool), one round for each time the module shows the settings dialog,
# in the order of the program's tests. With QUORVEL_DIALOG_SCREENSHOT=FILE.png (and ImageMagick's
# import), the first dialog is also photographed before any key is pressed.
set -euo pipefail
state=$1
program=$2
source "$state/env"
command -v xdotool >/dev/null || { echo "xdotool is missing (scripts/install-windows-deps.sh wine)"; exit 1; }
title=' Конфигурация...'

rounds=(
  "End shift+Home C O M 7 Tab 4 Tab 2 0 Return"
  "Tab Tab Tab Tab Tab Down Return"
  "C O M 9 Escape"
)

drive() {
  local first=1
  for keys in "${rounds[@]}"; do
    local window=""
    for _ in $(seq 200); do
      window=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -n 1 || true)
      [ -n "$window" ] && break
      sleep 0.1
    done
    [ -n "$window" ] || { echo "dialog-test: the dialog did not appear"; return 1; }
    sleep 0.5  # the dialog takes its focus once it is shown
    if [ "$first" = 1 ] && [ -n "${QUORVEL_DIALOG_SCREENSHOT:-}" ] && command -v import >/dev/null; then
      import -window root -crop "$(xdotool getwindowgeometry --shell "$window" |
        awk -F= '/WIDTH/{w=$2} /HEIGHT/{h=$2} /^X/{x=$2} /^Y/{y=$2} END{print w"x"h"+"x"+"y}')" \
        "$QUORVEL_DIALOG_SCREENSHOT" || true
    fi
    first=0
    # shellcheck disable=SC2086
    xdotool key --delay 60 $keys
    for _ in $(seq 100); do
      xdotool search --onlyvisible --name "^$title\$" >/dev/null 2>&1 || break
      sleep 0.1
    done
  done
}

drive &
driver=$!
status=0
wine "$program" || status=$?
wait "$driver" || status=1
exit "$status"
