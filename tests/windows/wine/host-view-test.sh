#!/usr/bin/env bash
# The module as a host sees it, under Wine: lcdhost.exe loads Quorvel.dll, which reads its
# settings from the Documents folder and drives a display on COM7, a pseudo-terminal of this
# test's own mapped as that port.
#
# Which behaviour each check follows: the bytes and their order are Windows' and the module's
# own. The write boundaries are counted in Wine's trace of NtWriteFile on the port's handle (a
# reader of the pty could merge them). Wine's serial driver fails TIOCMGET on a pty and so every
# wait and modem-status query; the session's shim answers it with "no lines" (wine-session.sh),
# which is what Windows reports for an adapter without modem lines; without it the port would
# not even open under Wine, which is checked first.
set -euo pipefail
state=$1
host=$2
source "$state/env"
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
line=""
cleanup() {
  [ -n "$line" ] && kill "$line" 2>/dev/null && wait "$line" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
passed=0
failures=0
check() {  # check NAME EXPECTED ACTUAL
  if [ "$2" = "$3" ]; then
    echo "ok: $1"
    passed=$((passed + 1))
  else
    echo "FAILED: $1"
    echo "  expected: $2"
    echo "  actual:   $3"
    failures=$((failures + 1))
  fi
}

python3 "$here/pty-line.py" "$work/received" >"$work/device" &
line=$!
for _ in $(seq 100); do [ -s "$work/device" ] && break; sleep 0.05; done
device=$(head -n 1 "$work/device")
[ -c "$device" ] || { echo "no pseudo-terminal"; exit 1; }

# COM7 names the pty. Wine makes the port's link when its server starts; before anything is
# written, the link must point at this test's own pty and nowhere else (the machine has real
# ports, and a new prefix maps COM1 to one of them).
wine reg add 'HKLM\Software\Wine\Ports' /v COM7 /d "$device" /f >/dev/null
wineserver -k || true
wineserver -w
wineserver -p >/dev/null 2>&1 </dev/null
wine cmd /c exit >/dev/null 2>&1 </dev/null
link=$(readlink "$WINEPREFIX/dosdevices/com7" || true)
if [ "$link" != "$device" ]; then
  echo "COM7 leads to '$link', not to this test's $device: nothing is written"
  exit 1
fi

documents="$WINEPREFIX/drive_c/users/$(id -un)/Documents"
settings() { printf '[Quorvel.dll]\r\nLines count=2\r\nCols count=16\r\nPort=%s\r\nBaudrate=7\r\n' "$1" >"$documents/Vantorix3.ini"; }
hex() { od -An -v -tx1 "$1" | tr -s ' \n' ' ' | sed 's/^ //; s/ $//'; }

# Wine without the shim: the open sequence reads the modem lines, which Wine cannot on a pty.
settings COM7
status=0
LD_PRELOAD= wine "$host" write 1 1 "x" >"$work/out" 2>&1 || status=$?
check "without the shim, Wine's failing modem-status query fails the open (exit 1)" 1 "$status"
: >"$work/received"

# The host's write of "Привет" at column 1, row 2: the start-up string, then the position and
# each translated letter, each a write of its own.
status=0
WINEDEBUG=trace+file wine "$host" write 1 2 "Привет" >"$work/out" 2>"$work/trace" || status=$?
check "lcdhost.exe write 1 2 Привет succeeds" 0 "$status"
sleep 0.2
check "the bytes on the line" "fe c0 0c fe 47 01 02 a8 70 b8 b3 65 bf" "$(hex "$work/received")"
# The port's handle is the one the first write (the start-up string, 3 bytes) went to.
sizes=$(sed -n 's/.*trace:file:NtWriteFile (\([^,]*\),[^,]*,[^,]*,[^,]*,[^,]*,[^,]*,0x\([0-9a-f]*\),.*/\1 \2/p' "$work/trace" |
  while read -r handle length; do echo "$handle $((16#$length))"; done)
port=$(awk '$2 == 3 { print $1; exit }' <<<"$sizes")
check "the write boundaries on the port: start-up, position, six letters" "3 4 1 1 1 1 1 1" \
      "$(awk -v port="$port" '$1 == port { print $2 }' <<<"$sizes" | tr '\n' ' ' | sed 's/ $//')"
check "the settings file stays as it was" "$(printf '[Quorvel.dll]\r\nLines count=2\r\nCols count=16\r\nPort=COM7\r\nBaudrate=7\r\n' | od -An -tx1)" \
      "$(od -An -tx1 "$documents/Vantorix3.ini")"

# A port that does not exist: the display's exception crosses from the DLL to the host's catch.
settings COM9
status=0
wine "$host" write 1 1 "x" >"$work/out" 2>&1 || status=$?
check "a missing port fails InitHardware (exit 1)" 1 "$status"
check "with the display's message, caught by the host" "lcdhost: Ошибка при открытии последовательного порта (COM9)!" \
      "$(tr -d '\r' <"$work/out")"

# Without a settings file the module takes its defaults (COM2, which no test maps).
rm -f "$documents/Vantorix3.ini"
status=0
wine "$host" info >"$work/out" 2>&1 || status=$?
check "without a settings file the display opens COM2 (exit 1: none here)" \
      "lcdhost: Ошибка при открытии последовательного порта (COM2)!" "$(tr -d '\r' <"$work/out")"

wine reg delete 'HKLM\Software\Wine\Ports' /v COM7 /f >/dev/null
echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
