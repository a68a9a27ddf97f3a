# A loopback FTP server for the upload tests: one user, one folder, gone after a bounded time.
# Arguments: ROOT PORTFILE SECONDS. Writes "PORT PID" to PORTFILE once it listens.
import logging
import os
import sys
import threading

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

root, port_file, seconds = sys.argv[1], sys.argv[2], float(sys.argv[3])
logging.basicConfig(level=logging.CRITICAL)
authorizer = DummyAuthorizer()
authorizer.add_user("taro", "s3cret", root, perm="elradfmw")
FTPHandler.authorizer = authorizer
server = FTPServer(("127.0.0.1", 0), FTPHandler)
port = server.socket.getsockname()[1]
with open(port_file + ".tmp", "w") as f:
    f.write("%d %d" % (port, os.getpid()))
os.rename(port_file + ".tmp", port_file)
threading.Timer(seconds, lambda: os._exit(0)).start()
server.serve_forever(timeout=0.5)
