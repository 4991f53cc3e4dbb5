#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""A recording SMTP server for Sentrybell's tests, built on aiosmtpd.

Listens on 127.0.0.1 at a free port, prints "READY <port>" on standard output once it accepts
connections, and appends one line per event to the record file, fields separated by tabs, every
text hex-encoded (UTF-8) so that any byte survives:

    MAIL <from> <to,to,...> <authenticated login or empty> <tls 0|1> <data> <subject> <body>
    AUTH <mechanism> <login> <password> <tls 0|1> <accepted 0|1>

<data> is the message as received after DATA; <subject> is the decoded Subject header and <body>
the decoded body of a single-part message.

Two modes misbehave on purpose, without aiosmtpd: "stall-after-greeting" greets and then never
answers again; "drop-in-data" takes the envelope, invites the message with 354 and closes the
connection as soon as the first bytes of the message arrive, without a reply; it records

    DROPPED <bytes of the message received before the drop>

Ends on SIGTERM.
"""

import argparse
import asyncio
import email
import email.policy
import logging
import re
import signal
import socket
import ssl
import subprocess
import sys

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


def hexed(value):
    if value is None:
        return ""
    if isinstance(value, str):
        value = value.encode("utf-8", "surrogateescape")
    return value.hex()


class Recorder:
    def __init__(self, path):
        self.path = path

    def write(self, *fields):
        with open(self.path, "a", encoding="ascii") as record:
            record.write("\t".join(fields) + "\n")


def over_tls(server, session, implicit_tls):
    return "1" if implicit_tls or session.ssl is not None else "0"


# A path with spaces inside its angle brackets, "< a@x>": lenient servers take it, strict ones refuse it.
SPACED_PATH = re.compile(r"<\s|\s>")


class StrictSMTP(SMTP):
    """Refuses MAIL FROM and RCPT TO paths that are not written exactly, as strict servers do."""

    async def smtp_MAIL(self, arg):
        if arg and SPACED_PATH.search(arg):
            return await self.push("501 5.1.7 Bad sender address syntax")
        return await super().smtp_MAIL(arg)

    async def smtp_RCPT(self, arg):
        if arg and SPACED_PATH.search(arg):
            return await self.push("501 5.1.3 Bad recipient address syntax")
        return await super().smtp_RCPT(arg)


class Handler:
    def __init__(self, recorder, options):
        self.recorder = recorder
        self.options = options

    async def handle_EHLO(self, server, session, envelope, hostname, responses):
        session.host_name = hostname
        if not self.options.offer_auth:
            responses = [line for line in responses if not line.startswith("250-AUTH")]
        return responses

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if self.options.reject_recipient and self.options.reject_recipient in address:
            return f"550 5.1.1 <{address}>: Recipient address rejected: no such mailbox"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        content = envelope.original_content or envelope.content or b""
        message = email.message_from_bytes(content, policy=email.policy.default)
        subject = message["Subject"]
        body = b"" if message.is_multipart() else (message.get_payload(decode=True) or b"")
        login = session.auth_data if session.authenticated else ""
        # aiosmtpd keeps the null reverse-path as "<>"; the record holds addresses without brackets.
        mail_from = "" if envelope.mail_from == "<>" else envelope.mail_from
        self.recorder.write(
            "MAIL",
            hexed(mail_from),
            ",".join(hexed(address) for address in envelope.rcpt_tos),
            hexed(login),
            over_tls(server, session, self.options.mode == "implicit-tls"),
            hexed(content),
            hexed(str(subject) if subject is not None else ""),
            hexed(body),
        )
        return "250 2.0.0 OK: queued"


def make_authenticator(recorder, options):
    def authenticate(server, session, envelope, mechanism, auth_data):
        if not isinstance(auth_data, LoginPassword):
            recorder.write("AUTH", hexed(mechanism), "", "", over_tls(server, session, False), "0")
            return AuthResult(success=False, handled=False)
        login = auth_data.login.decode("utf-8", "surrogateescape")
        password = auth_data.password.decode("utf-8", "surrogateescape")
        accepted = login == options.user and password == options.password
        recorder.write(
            "AUTH",
            hexed(mechanism),
            hexed(login),
            hexed(password),
            over_tls(server, session, options.mode == "implicit-tls"),
            "1" if accepted else "0",
        )
        return AuthResult(success=accepted, handled=False, auth_data=login if accepted else None)

    return authenticate


class Misbehaving(asyncio.Protocol):
    """A server that speaks just enough SMTP to fail in one chosen way."""

    def __init__(self, recorder, mode):
        self.recorder = recorder
        self.mode = mode
        self.pending = b""
        self.in_data = False
        self.transport = None

    def connection_made(self, transport):
        self.transport = transport
        transport.write(b"220 sentrybell-test.localhost ESMTP\r\n")

    def drop(self, received):
        self.recorder.write("DROPPED", hexed(received))
        self.transport.close()

    def data_received(self, data):
        if self.mode == "stall-after-greeting":
            return
        if self.in_data:
            self.drop(data)
            return
        self.pending += data
        while b"\r\n" in self.pending:
            line, self.pending = self.pending.split(b"\r\n", 1)
            verb = line[:4].upper()
            if verb in (b"EHLO", b"HELO"):
                self.transport.write(b"250 sentrybell-test.localhost\r\n")
            elif verb == b"DATA":
                self.transport.write(b"354 End data with <CR><LF>.<CR><LF>\r\n")
                self.in_data = True
                if self.pending:
                    self.drop(self.pending)
                return
            elif verb == b"QUIT":
                self.transport.write(b"221 Bye\r\n")
                self.transport.close()
                return
            else:
                self.transport.write(b"250 OK\r\n")


def tls_context(folder, names):
    """A self-signed certificate for the names (by default 127.0.0.1 and localhost), made now, written
    to folder/cert.pem."""
    certificate = f"{folder}/cert.pem"
    key = f"{folder}/key.pem"
    subprocess.run(
        ["openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
         "-nodes", "-keyout", key, "-out", certificate, "-days", "2", "-subj", "/CN=localhost",
         "-addext", f"subjectAltName={names}"],
        check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    context.load_cert_chain(certificate, key)
    return context


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument(
        "--mode", default="plain",
        choices=["plain", "starttls", "implicit-tls", "stall-after-greeting", "drop-in-data"])
    parser.add_argument("--record", required=True)
    parser.add_argument("--folder", required=True)
    parser.add_argument("--offer-auth", action="store_true")
    parser.add_argument("--user", default="")
    parser.add_argument("--password", default="")
    parser.add_argument("--reject-recipient", default="")
    # The certificate's subjectAltName; another name than the one a client connects to fails its check.
    parser.add_argument("--certificate-names", default="IP:127.0.0.1,DNS:localhost")
    options = parser.parse_args()

    # aiosmtpd warns about its own deprecated attributes on every AUTH and logs a traceback for every
    # refused TLS handshake, which some tests cause on purpose; the record says what happened.
    logging.getLogger("mail.log").setLevel(logging.CRITICAL)
    recorder = Recorder(options.record)
    context = tls_context(options.folder, options.certificate_names) if options.mode in ("starttls", "implicit-tls") else None
    loop = asyncio.new_event_loop()
    asyncio.set_event_loop(loop)

    def factory():
        return StrictSMTP(
            Handler(recorder, options),
            hostname="sentrybell-test.localhost",
            tls_context=context if options.mode == "starttls" else None,
            require_starttls=False,
            # Over plain TCP the client decides whether to send a password; the test watches it.
            auth_require_tls=options.mode == "starttls",
            authenticator=make_authenticator(recorder, options),
            loop=loop,
        )

    if options.mode in ("stall-after-greeting", "drop-in-data"):
        def factory():  # noqa: F811
            return Misbehaving(recorder, options.mode)

    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind(("127.0.0.1", 0))
    server = loop.run_until_complete(loop.create_server(
        factory, sock=listener, ssl=context if options.mode == "implicit-tls" else None))
    loop.add_signal_handler(signal.SIGTERM, loop.stop)
    print(f"READY {listener.getsockname()[1]}", flush=True)
    try:
        loop.run_forever()
    finally:
        server.close()
        loop.run_until_complete(server.wait_closed())
        loop.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
