# Loopback FTP servers for the upload tests, each gone by itself after SECONDS.
# Arguments: MODE ROOT PORTFILE SECONDS. Writes "PORT PID" to PORTFILE once it listens.
#   good          pyftpdlib, user taro / s3cret; each login is appended to ROOT/../logins
#   refuse-second as good, but the second STOR of a session is refused with 452
#   pasv-elsewhere as good, no EPSV, and PASV names 10.1.2.3 (the data must still come here)
#   silent        accepts and never says a word
#   endless       greets with a multi-line reply that never ends
#   endless-line  greets with one line that never ends
import logging
import os
import socket
import sys
import threading
import time

mode, root, port_file, seconds = sys.argv[1], sys.argv[2], sys.argv[3], float(sys.argv[4])
threading.Timer(seconds, lambda: os._exit(0)).start()


def announce(port):
    with open(port_file + ".tmp", "w") as f:
        f.write("%d %d" % (port, os.getpid()))
    os.rename(port_file + ".tmp", port_file)


def raw_server(talk):
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(8)
    announce(listener.getsockname()[1])
    while True:
        conn, _ = listener.accept()
        threading.Thread(target=talk, args=(conn,), daemon=True).start()


def silent(conn):
    time.sleep(seconds)


def endless(conn):
    try:
        conn.sendall(b"220-welcome\r\n")
        while True:
            conn.sendall(b"220-and more\r\n" * 64)
            time.sleep(0.01)
    except OSError:
        pass


def endless_line(conn):
    try:
        conn.sendall(b"220 ")
        while True:
            conn.sendall(b"x" * 4096)
            time.sleep(0.01)
    except OSError:
        pass


if mode in ("silent", "endless", "endless-line"):
    raw_server({"silent": silent, "endless": endless, "endless-line": endless_line}[mode])

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

logging.basicConfig(level=logging.CRITICAL)
logins = os.path.join(os.path.dirname(os.path.abspath(root)), "logins")


class Handler(FTPHandler):
    stored = 0

    def on_login(self, username):
        with open(logins, "a") as f:
            f.write(username + "\n")

    def ftp_STOR(self, file, mode="w"):
        self.stored += 1
        if globals()["mode"] == "refuse-second" and self.stored == 2:
            self.respond("452 No space left on the test server.")
            return
        return FTPHandler.ftp_STOR(self, file, mode)

    def ftp_EPSV(self, line):
        if globals()["mode"] == "pasv-elsewhere":
            self.respond("502 EPSV not implemented here.")
            return
        return FTPHandler.ftp_EPSV(self, line)


authorizer = DummyAuthorizer()
authorizer.add_user("taro", "s3cret", root, perm="elradfmw")
Handler.authorizer = authorizer
if mode == "pasv-elsewhere":
    Handler.masquerade_address = "10.1.2.3"
server = FTPServer(("127.0.0.1", 0), Handler)
announce(server.socket.getsockname()[1])
server.serve_forever(timeout=0.5)
