#!/usr/bin/python3
"""Times almx mail send (--report-time: from SendQueue to the outcome) against an aiosmtpd sink on 127.0.0.1: one test mail, then 100
messages in one connection. Usage: mail_loopback.py ALMX (the figures include starting almx)."""

import os
import socket
import subprocess
import sys
import tempfile
import time

from aiosmtpd.controller import Controller


class Sink:
    count = 0

    async def handle_DATA(self, server, session, envelope):
        Sink.count += 1
        return "250 OK"


def main():
    almx = os.path.abspath(sys.argv[1])
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        port = s.getsockname()[1]
    controller = Controller(Sink(), hostname="127.0.0.1", port=port)
    controller.start()
    try:
        with tempfile.TemporaryDirectory() as state:
            env = dict(os.environ, XDG_STATE_HOME=state)
            for count in (1, 100):
                runs, inside = [], []
                for _ in range(5):
                    before = Sink.count
                    started = time.monotonic()
                    result = subprocess.run([almx, "mail", "send", "--server", "127.0.0.1", "--port", str(port),
                                    "--to", "rcpt@example.com", "--subject", "Almanix通知", "--body", "TEST",
                                    "--address", "me@example.jp", "--smail-time", "0", "--count", str(count),
                                             "--report-time"],
                                            env=env, check=True, timeout=60, capture_output=True)
                    runs.append(time.monotonic() - started)
                    inside.append(float(result.stderr.decode().split(" in ")[1].split(" ms")[0]))
                    assert Sink.count - before == count
                print(f"{count} message(s): from SendQueue to the end best {min(inside):.1f} ms, "
                      f"median {sorted(inside)[2]:.1f} ms; whole almx run median "
                      f"{sorted(runs)[2] * 1000:.1f} ms (5 runs)")
    finally:
        controller.stop()


main()
