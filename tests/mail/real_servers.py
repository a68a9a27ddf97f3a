#!/usr/bin/python3
"""almx mail send against real servers on 127.0.0.1: aiosmtpd (plain, STARTTLS, TLS from the
first byte, AUTH CRAM-MD5/LOGIN/PLAIN) and a Dovecot POP3 from a temporary configuration.
Exits 77 (skipped) when the servers are not installed. Usage: real_servers.py ALMX"""

import base64
import email
import email.policy
import hmac
import os
import pwd
import shutil
import signal
import socket
import ssl
import subprocess
import sys
import tempfile
import threading
import time

SKIP = 77
try:
    from aiosmtpd.controller import Controller
    from aiosmtpd.smtp import AuthResult, LoginPassword, MISSING
except ImportError:
    print("aiosmtpd missing: skipped")
    sys.exit(SKIP)
DOVECOT = shutil.which("dovecot") or "/usr/sbin/dovecot"
if not os.path.exists(DOVECOT) or not shutil.which("openssl"):
    print("dovecot or openssl missing: skipped")
    sys.exit(SKIP)

signal.alarm(170)  # everything here stops by itself
ALMX = os.path.abspath(sys.argv[1])
USER, PASSWORD = "taro", "Pw-9secret"
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Sink:
    def __init__(self):
        self.messages = []

    async def handle_DATA(self, server, session, envelope):
        self.messages.append((envelope.mail_from, list(envelope.rcpt_tos), envelope.original_content))
        return "250 OK queued"

    async def auth_CRAM__MD5(self, server, args):
        challenge = b"<1234.5678@127.0.0.1>"
        response = await server.challenge_auth(challenge)
        if response is MISSING:
            return AuthResult(success=False, handled=False)
        user, _, digest = response.decode("ascii", "replace").partition(" ")
        expected = hmac.new(PASSWORD.encode(), challenge, "md5").hexdigest()
        return AuthResult(success=user == USER and digest == expected, handled=False)


def authenticator(server, session, envelope, mechanism, data):
    ok = isinstance(data, LoginPassword) and data.login == USER.encode() and data.password == PASSWORD.encode()
    return AuthResult(success=ok)


def hostile(script):
    """A one-connection server on 127.0.0.1 that plays script(conn); returns its port."""
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(1)
    listener.settimeout(60)

    def serve():
        try:
            conn, _ = listener.accept()
            conn.settimeout(30)
            with conn:
                script(conn)
        except OSError:
            pass
        finally:
            listener.close()

    threading.Thread(target=serve, daemon=True).start()
    return listener.getsockname()[1]


def lines_until(conn, verb):
    """Answers 250 to every command until one starting with verb; returns False on a drop."""
    buffer = b""
    while True:
        while b"\r\n" not in buffer:
            chunk = conn.recv(4096)
            if not chunk:
                return False
            buffer += chunk
        line, buffer = buffer.split(b"\r\n", 1)
        if line.upper().startswith(verb):
            return True
        conn.sendall(b"250 ok\r\n")


def main(tmp):
    # A test CA and a server certificate for 127.0.0.1.
    def openssl(*args):
        subprocess.run(["openssl", *args], cwd=tmp, check=True, capture_output=True, timeout=30)
    openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "ca.key", "-out", "ca.pem",
            "-days", "2", "-subj", "/CN=Almanix Test CA")
    openssl("req", "-newkey", "rsa:2048", "-nodes", "-keyout", "server.key", "-out", "server.csr",
            "-subj", "/CN=127.0.0.1")
    with open(os.path.join(tmp, "ext.cnf"), "w") as f:
        f.write("subjectAltName=IP:127.0.0.1,DNS:localhost\n")
    openssl("x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key", "-CAcreateserial",
            "-out", "server.pem", "-days", "2", "-extfile", "ext.cnf")
    context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    context.load_cert_chain(os.path.join(tmp, "server.pem"), os.path.join(tmp, "server.key"))
    ca = os.path.join(tmp, "ca.pem")

    sink = Sink()
    servers = {}
    specs = {
        "plain": dict(),
        "cram": dict(authenticator=authenticator, auth_require_tls=False,
                      auth_exclude_mechanism=["LOGIN", "PLAIN"]),
        "starttls": dict(tls_context=context, require_starttls=True, authenticator=authenticator,
                         auth_exclude_mechanism=["CRAM-MD5", "PLAIN"]),
        "tls": dict(ssl_context=context, authenticator=authenticator, auth_require_tls=False,
                    auth_exclude_mechanism=["CRAM-MD5", "LOGIN"]),
    }
    for name, kwargs in specs.items():
        port = free_port()
        controller = Controller(sink, hostname="127.0.0.1", port=port, ready_timeout=10, **kwargs)
        controller.start()
        servers[name] = (controller, port)

    # Dovecot POP3 with USER/PASS and APOP.
    pop_port = free_port()
    me = pwd.getpwuid(os.getuid()).pw_name
    with open(os.path.join(tmp, "users"), "w") as f:
        f.write(f"{USER}:{{PLAIN}}{PASSWORD}::::::\n")
    users = {"internal": "dovecot", "login": "dovenull"} if os.getuid() == 0 else {"internal": me, "login": me}
    # Dovecot will not run a mailbox as root; the mail folder is open to its user.
    mail_uid, mail_gid = os.getuid(), os.getgid()
    if mail_uid == 0:
        mail_uid, mail_gid = pwd.getpwnam("dovecot").pw_uid, pwd.getpwnam("dovecot").pw_gid
    os.makedirs(os.path.join(tmp, "mail"))
    os.chmod(os.path.join(tmp, "mail"), 0o777)
    conf = os.path.join(tmp, "dovecot.conf")
    with open(conf, "w") as f:
        f.write(f"""base_dir = {tmp}/run
state_dir = {tmp}/state
log_path = {tmp}/dovecot.log
protocols = pop3
listen = 127.0.0.1
ssl = no
disable_plaintext_auth = no
auth_mechanisms = plain apop
default_internal_user = {users['internal']}
default_login_user = {users['login']}
first_valid_uid = 1
mail_location = maildir:{tmp}/mail/%u
passdb {{
  driver = passwd-file
  args = {tmp}/users
}}
userdb {{
  driver = static
  args = uid={mail_uid} gid={mail_gid} home={tmp}/mail/%u
}}
service pop3-login {{
  inet_listener pop3 {{
    address = 127.0.0.1
    port = {pop_port}
  }}
}}
service anvil {{
  chroot =
}}
service stats {{
  unix_listener stats-writer {{
    mode = 0666
  }}
}}
""")
    os.makedirs(os.path.join(tmp, "run"), exist_ok=True)
    os.chmod(tmp, 0o755)
    dovecot = subprocess.Popen(["timeout", "150", DOVECOT, "-F", "-c", conf],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    for _ in range(100):
        try:
            socket.create_connection(("127.0.0.1", pop_port), timeout=1).close()
            break
        except OSError:
            time.sleep(0.1)

    state = os.path.join(tmp, "state-home")
    env = dict(os.environ, XDG_STATE_HOME=state, QT_QPA_PLATFORM="offscreen")
    with open(os.path.join(tmp, "pw"), "w") as f:
        f.write(PASSWORD + "\n")

    def send(server, *extra, body="TEST", expect=0):
        before = len(sink.messages)
        args = [ALMX, "mail", "send", "--server", "127.0.0.1", "--port", str(servers[server][1]),
                "--to", "宛先 <rcpt@example.com>", "--subject", "Almanix通知", "--body", body,
                "--address", "me@example.jp", "--name", "差出人", "--user", USER,
                "--password-file", os.path.join(tmp, "pw"), "--smail-time", "100", *extra]
        started = time.monotonic()
        result = subprocess.run(args, env=env, capture_output=True, timeout=90)
        check(result.returncode == expect,
              f"{server} {extra}: exit {result.returncode}, wanted {expect}: {result.stderr.decode()}")
        check(time.monotonic() - started < 60, f"{server} {extra}: took too long")
        arrived = sink.messages[before:]
        check(len(arrived) == (1 if expect == 0 else 0), f"{server} {extra}: {len(arrived)} arrived")
        return arrived[0] if arrived and expect == 0 else None, result

    def check_message(got, body, what):
        if not got:
            return
        mail_from, rcpts, raw = got
        check(mail_from == "me@example.jp" and rcpts == ["rcpt@example.com"], f"{what}: envelope")
        check(all(b < 0x80 for b in raw), f"{what}: 8-bit bytes")
        check(all(len(line) <= 998 for line in raw.split(b"\r\n")), f"{what}: line over 998")
        msg = email.message_from_bytes(raw, policy=email.policy.default)
        check(str(msg["Subject"]) == "Almanix通知", f"{what}: subject {msg['Subject']!r}")
        check(msg["From"].addresses[0].addr_spec == "me@example.jp", f"{what}: from")
        check(msg["From"].addresses[0].display_name == "差出人", f"{what}: from name")
        check(msg["To"].addresses[0].addr_spec == "rcpt@example.com", f"{what}: to")
        check(msg["Date"] is not None and msg["Date"].datetime.utcoffset().total_seconds() == 9 * 3600,
              f"{what}: date")
        check(msg["Message-ID"] is not None and "@example.jp>" in msg["Message-ID"], f"{what}: message-id")
        # The body follows one empty line more than the header's end, as it always has.
        text = msg.get_content().replace("\r\n", "\n").strip("\n")
        check(text == body, f"{what}: body {text[:60]!r}")

    got, _ = send("plain")
    check_message(got, "TEST", "plain")
    hard = "髙橋さん①番 ﾃｽﾄ\n" + "長" * 600 + "\n.\n終わり"
    got, _ = send("plain", body=hard)
    check_message(got, hard, "plain hard text")
    got, _ = send("cram", "--auth")
    check_message(got, "TEST", "CRAM-MD5")
    got, _ = send("starttls", "--auth", "--ssl", "1", "--ca-file", ca)
    check_message(got, "TEST", "STARTTLS LOGIN")
    got, _ = send("tls", "--auth", "--ssl", "2", "--ca-file", ca)
    check_message(got, "TEST", "TLS PLAIN")
    # No plain fallback, and certificates are verified.
    _, r = send("plain", "--ssl", "1", expect=1)
    check("サーバが暗号化(STARTTLS)に対応していません" in r.stderr.decode(), "no STARTTLS message")
    _, r = send("tls", "--auth", "--ssl", "2", expect=1)
    check("SSL/TLS接続に失敗しました：" in r.stderr.decode(), "unverified TLS message")
    # POP before SMTP: USER/PASS, APOP, and a wrong password still sends.
    for extra in ([], ["--apop"]):
        got, r = send("plain", "--pop-before", "--pop-port", str(pop_port), *extra)
        check_message(got, "TEST", f"POP before SMTP {extra}")
        check("パスワードエラー" not in r.stderr.decode(), f"POP {extra}: {r.stderr.decode()}")
    with open(os.path.join(tmp, "pw"), "w") as f:
        f.write("wrong\n")
    got, r = send("plain", "--pop-before", "--pop-port", str(pop_port))
    check("パスワードエラー：" in r.stderr.decode(), "refused POP login message")
    # Hostile servers: each gives its message, and nothing is reported sent.
    def drop_after_rcpt(conn):
        conn.sendall(b"220 hi\r\n")
        if lines_until(conn, b"RCPT"):
            conn.sendall(b"250 ok\r\n")
            lines_until(conn, b"DATA")

    def refuse(verb):
        def script(conn):
            conn.sendall(b"220 hi\r\n" if verb != b"GREETING" else b"554 no service\r\n")
            if verb != b"GREETING" and lines_until(conn, verb):
                conn.sendall(b"550 refused here\r\n")
                lines_until(conn, b"QUIT")
        return script

    def endless(conn):
        conn.sendall(b"220 " + b"x" * 100000)
        time.sleep(2)

    def garbage(conn):
        conn.sendall(b"\x16\x03\x01 hello\r\n")
        time.sleep(2)

    def injection(conn):
        # STARTTLS offered, then plain text slipped in behind the go-ahead.
        conn.sendall(b"220 hi\r\n")
        lines_until(conn, b"EHLO")
        conn.sendall(b"250-hi\r\n250 STARTTLS\r\n")
        lines_until(conn, b"STARTTLS")
        conn.sendall(b"220 go ahead\r\n250 injected\r\n")
        time.sleep(2)

    cases = [(drop_after_rcpt, [], "エラーが発生しました：応答がありません"),
             (endless, [], "エラーが発生しました：サーバの応答が長すぎます"),
             (garbage, [], "エラーが発生しました：サーバの応答が正しくありません"),
             (injection, ["--ssl", "1"], "SSL/TLS接続に失敗しました：")]
    for verb in (b"GREETING", b"HELO", b"MAIL", b"RCPT", b"DATA"):
        cases.append((refuse(verb), [], "エラーが発生しました：5"))
    for script, extra, message in cases:
        port = hostile(script)
        args = [ALMX, "mail", "send", "--server", "127.0.0.1", "--port", str(port), "--to", "a@example.com",
                "--body", "x", "--address", "me@example.jp", "--smail-time", "100", *extra]
        started = time.monotonic()
        r = subprocess.run(args, env=env, capture_output=True, timeout=90)
        err = r.stderr.decode()
        check(r.returncode == 1, f"hostile {script.__name__}: exit {r.returncode}")
        check(message in err, f"hostile {script.__name__}: said {err!r}")
        check(time.monotonic() - started < 20, f"hostile {script.__name__}: took too long")

    # Nothing in the logs gives the password away.
    for name in os.listdir(os.path.join(state, "Almanix")):
        data = open(os.path.join(state, "Almanix", name), "rb").read()
        for secret in (PASSWORD.encode(), base64.b64encode(PASSWORD.encode())):
            check(secret not in data, f"password in {name}")
        check(os.stat(os.path.join(state, "Almanix", name)).st_mode & 0o077 == 0, f"{name} mode")

    if failures and os.path.exists(os.path.join(tmp, "dovecot.log")):
        print(open(os.path.join(tmp, "dovecot.log")).read()[-3000:])
    dovecot.terminate()
    dovecot.wait(timeout=10)
    for controller, _ in servers.values():
        controller.stop()


with tempfile.TemporaryDirectory() as tmp:
    main(tmp)
print("failures:", len(failures))
sys.exit(1 if failures else 0)
