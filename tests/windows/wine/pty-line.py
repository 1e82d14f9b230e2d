"""The far end of a serial line for the host-view test: opens a pseudo-terminal, prints its
device's path, and appends every byte that arrives to the file named on the command line, until
it is ended (SIGTERM)."""
import os
import pty
import signal
import sys
import tty

master, device = pty.openpty()
tty.setraw(device)  # the line carries bytes, not text: nothing may be translated
print(os.ttyname(device), flush=True)
signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
with open(sys.argv[1], "ab", buffering=0) as received:
    while True:
        received.write(os.read(master, 4096))
