#!/usr/bin/python3
"""A real SMTP server for tests, built on aiosmtpd.

Listens on 127.0.0.1 on an ephemeral port and prints one line "PORT <number>" on standard
output once it accepts connections. Every message received is stored in the --store folder as
NNNN.eml (the raw data bytes) and NNNN.json (the envelope), numbered from 0001 in arrival
order; the .json file appears only after its .eml file is complete. connections.log in the same
folder records each connection's life, one line per event: "open N", "ehlo N", "quit N",
"timeout N" (closed by the server for --idle-timeout) and "close N", N counting connections
from 1.

Run with /usr/bin/python3 (Debian's python3-aiosmtpd). See docs/testing.md for the options.
"""

import argparse
import asyncio
import base64
import binascii
import json
import logging
import os
import signal
import ssl
import sys
import warnings

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword

STANDARD_MECHANISMS = ("LOGIN", "PLAIN")

# Steps of the dialogue at which --fault can strike, and what it can do there.
FAULT_STEPS = ("greeting", "ehlo", "starttls", "auth", "mail", "rcpt", "data", "dot", "quit")
FAULT_ACTIONS = ("drop", "4xx", "5xx", "silent", "badtls")
# Replies of the 4xx and 5xx actions, by step.
FAULT_REPLIES = {
    "greeting": ("421 4.3.2 Service not available", "554 5.3.2 No SMTP service here"),
    "ehlo": ("451 4.3.0 Try again later", "550 5.7.1 Not accepted"),
    "starttls": ("454 4.7.0 TLS not available now", "554 5.7.3 TLS refused"),
    "auth": ("454 4.7.0 Temporary authentication failure", "535 5.7.8 Authentication failed"),
    "mail": ("451 4.3.0 Sender deferred", "550 5.7.1 Sender refused"),
    "rcpt": ("450 4.2.1 Mailbox busy", "550 5.1.1 No such user"),
    "data": ("451 4.3.0 Not now", "554 5.3.0 No data accepted"),
    "dot": ("451 4.3.0 Message deferred", "554 5.6.0 Message refused"),
    "quit": ("421 4.3.0 Closing", "554 5.3.0 Closing"),
}
# A fatal TLS alert record (handshake_failure) where the client expects the server's hello.
TLS_HANDSHAKE_FAILURE_ALERT = b"\x15\x03\x03\x00\x02\x02\x28"


def parse_fault(text):
    step, _, action = text.partition(":")
    if step not in FAULT_STEPS or action not in FAULT_ACTIONS:
        raise argparse.ArgumentTypeError(
            "expected STEP:ACTION with STEP in %s and ACTION in %s"
            % ("|".join(FAULT_STEPS), "|".join(FAULT_ACTIONS)))
    if action == "badtls" and step != "starttls":
        raise argparse.ArgumentTypeError("badtls belongs to the starttls step")
    return step, action


def parse_arguments(argv):
    parser = argparse.ArgumentParser(description="SMTP server for tests")
    parser.add_argument("--store", help="folder for received messages")
    parser.add_argument("--cert", help="certificate (PEM): offer STARTTLS")
    parser.add_argument("--key", help="private key (PEM) of the certificate")
    parser.add_argument("--require-tls", action="store_true",
                        help="refuse everything but EHLO, NOOP, STARTTLS and QUIT before TLS")
    parser.add_argument("--user", help="require AUTH LOGIN or PLAIN with this user")
    parser.add_argument("--password", default="", help="password of --user")
    parser.add_argument("--xoauth2-token", help="require AUTH XOAUTH2 with this bearer token")
    parser.add_argument("--auth-without-tls", action="store_true",
                        help="offer AUTH on connections without TLS")
    parser.add_argument("--reject-recipient", action="append", default=[],
                        help="answer 550 to RCPT TO of this address (repeatable)")
    parser.add_argument("--never-greet", action="store_true",
                        help="accept connections and never send anything")
    parser.add_argument("--fault", type=parse_fault, metavar="STEP:ACTION",
                        help="misbehave at one step of the first connection: drop it, answer "
                             "4xx or 5xx, stay silent, or (starttls) fail the TLS handshake")
    parser.add_argument("--exit-with-stdin", action="store_true",
                        help="stop when standard input reaches end of file (parent gone)")
    parser.add_argument("--max-line-length", type=int, default=SMTP.line_length_limit,
                        help="longest line accepted, CR LF included (aiosmtpd's default: %d)"
                        % SMTP.line_length_limit)
    parser.add_argument("--idle-timeout", type=float, default=300.0, metavar="SECONDS",
                        help="close a connection that stays silent this long (default: 300)")
    parser.add_argument("--max-message-size", type=int, default=None,
                        help="largest message accepted in octets, announced with SIZE; 0: "
                             "no limit (aiosmtpd's default: 33554432)")
    parser.add_argument("--no-smtputf8", action="store_true",
                        help="do not offer SMTPUTF8 (international addresses)")
    parser.add_argument("--verbose", action="store_true", help="protocol log on stderr")
    args = parser.parse_args(argv)
    if not args.never_greet and not args.store:
        parser.error("--store is required")
    if bool(args.cert) != bool(args.key):
        parser.error("--cert and --key go together")
    if args.require_tls and not args.cert:
        parser.error("--require-tls needs --cert and --key")
    if args.fault and args.fault[0] == "starttls" and not args.cert:
        parser.error("a starttls fault needs --cert and --key")
    return args


class MessageStore:
    """Writes each message as NNNN.eml plus NNNN.json, the envelope last and atomically."""

    def __init__(self, folder):
        self.folder = folder
        os.makedirs(folder, exist_ok=True)
        self.count = 0

    def save(self, session, envelope):
        self.count += 1
        stem = os.path.join(self.folder, "%04d" % self.count)
        with open(stem + ".eml", "wb") as out:
            out.write(envelope.original_content or b"")
        auth = session.auth_data
        if isinstance(auth, bytes):
            auth = auth.decode("utf-8", "replace")
        description = {
            "index": self.count,
            "mail_from": envelope.mail_from,
            "rcpt_tos": list(envelope.rcpt_tos),
            "mail_options": list(envelope.mail_options),
            "auth_user": auth,
            "tls": session.ssl is not None,
            "size": len(envelope.original_content or b""),
        }
        with open(stem + ".json.tmp", "w", encoding="utf-8") as out:
            json.dump(description, out, indent=1)
        os.replace(stem + ".json.tmp", stem + ".json")
        return self.count


class ConnectionJournal:
    """Appends the events of every connection to connections.log, flushed line by line."""

    def __init__(self, folder):
        self.path = os.path.join(folder, "connections.log")
        self.count = 0

    def new_connection(self):
        self.count += 1
        return self.count

    def record(self, event, number):
        with open(self.path, "a", encoding="ascii") as out:
            out.write("%s %d\n" % (event, number))


class Handler:
    def __init__(self, args, store):
        self.rejected = {a.lower() for a in args.reject_recipient}
        self.store = store

    async def handle_EHLO(self, server, session, envelope, hostname, responses):
        session.host_name = hostname
        # With every mechanism switched off aiosmtpd would still announce an empty AUTH line.
        return [line for line in responses if line.strip() != "250-AUTH"]

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.lower() in self.rejected:
            return "550 5.1.1 <%s>: Recipient address rejected" % address
        envelope.rcpt_tos.append(address)
        envelope.rcpt_options.extend(rcpt_options)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        reply = await server.fault_at("dot")
        if reply is not None:
            return reply
        number = self.store.save(session, envelope)
        return "250 2.0.0 OK: queued as %d" % number


class XOAuth2Handler(Handler):
    """Adds AUTH XOAUTH2: the client's response is base64 of
    "user=NAME\\x01auth=Bearer TOKEN\\x01\\x01", given with the command or after an empty 334.
    A wrong token gets a 334 challenge with a JSON error, the client answers with an empty line,
    and the server ends with 535."""

    def __init__(self, args, store):
        super().__init__(args, store)
        self.token = args.xoauth2_token

    async def auth_XOAUTH2(self, server, args):
        if len(args) == 1:
            response = await server.challenge_auth("")
            if not isinstance(response, bytes):
                return AuthResult(success=False, handled=True)
        else:
            try:
                response = base64.b64decode(args[1].encode(), validate=True)
            except (binascii.Error, ValueError):
                await server.push("501 5.5.2 Can't decode base64")
                return AuthResult(success=False, handled=True)
        fields = {}
        for item in response.split(b"\x01"):
            if b"=" in item:
                name, _, value = item.partition(b"=")
                fields[name.decode("ascii", "replace")] = value.decode("utf-8", "replace")
        user = fields.get("user", "")
        if fields.get("auth", "") == "Bearer " + self.token:
            return AuthResult(success=True, auth_data=user)
        error = json.dumps({"status": "401", "schemes": "bearer", "scope": "mail"})
        reply = await server.challenge_auth(error)
        if not isinstance(reply, bytes):
            return AuthResult(success=False, handled=True)
        return AuthResult(success=False, message="535 5.7.8 Username and Password not accepted")


class FaultySMTP(SMTP):
    """aiosmtpd's server with an optional fault at one step of this connection."""

    def __init__(self, handler, fault, journal, **options):
        super().__init__(handler, **options)
        self.fault = fault
        self.journal = journal
        self.number = journal.new_connection()
        self.closed = False

    def connection_made(self, transport):
        # Called again for the TLS transport after STARTTLS: the connection stays the same.
        if self._original_transport is None:
            self.journal.record("open", self.number)
        super().connection_made(transport)

    def connection_lost(self, error):
        if not self.closed:
            self.closed = True
            self.journal.record("close", self.number)
        super().connection_lost(error)

    def _timeout_cb(self):
        self.journal.record("timeout", self.number)
        super()._timeout_cb()

    async def smtp_QUIT(self, arg):
        self.journal.record("quit", self.number)
        if not await self.command_fault("quit"):
            await super().smtp_QUIT(arg)

    async def fault_at(self, step):
        """Acts out the fault when it belongs to this step. Returns the reply for a hook to
        give (dot), None to go on normally; commands skip their normal work when the result
        is not None."""
        if not self.fault or self.fault[0] != step:
            return None
        action = self.fault[1]
        if action == "drop":
            self.transport.close()
            await asyncio.Event().wait()  # cancelled when the connection is gone
        if action == "silent":
            await asyncio.Event().wait()
        if action == "badtls":
            await self.push("220 Ready to start TLS")
            # Answer the client's hello with the alert, as a server that refuses it would;
            # closing before the hello arrived would reset the connection instead.
            await self._reader.read(4096)
            self.transport.write(TLS_HANDSHAKE_FAILURE_ALERT)
            self.transport.close()
            await asyncio.Event().wait()
        return FAULT_REPLIES[step][0 if action == "4xx" else 1]

    async def command_fault(self, step):
        reply = await self.fault_at(step)
        if reply is None:
            return False
        await self.push(reply)
        if step == "greeting":
            self.transport.close()
        return True

    async def _handle_client(self):
        if not await self.command_fault("greeting"):
            await super()._handle_client()

    async def smtp_HELO(self, hostname):
        if not await self.command_fault("ehlo"):
            await super().smtp_HELO(hostname)

    async def smtp_EHLO(self, hostname):
        self.journal.record("ehlo", self.number)
        if not await self.command_fault("ehlo"):
            await super().smtp_EHLO(hostname)

    async def smtp_STARTTLS(self, arg):
        if not await self.command_fault("starttls"):
            await super().smtp_STARTTLS(arg)

    async def smtp_AUTH(self, arg):
        if not await self.command_fault("auth"):
            await super().smtp_AUTH(arg)

    async def smtp_MAIL(self, arg):
        if not await self.command_fault("mail"):
            await super().smtp_MAIL(arg)

    async def smtp_RCPT(self, arg):
        if not await self.command_fault("rcpt"):
            await super().smtp_RCPT(arg)

    async def smtp_DATA(self, arg):
        if not await self.command_fault("data"):
            await super().smtp_DATA(arg)


def make_authenticator(user, password):
    def authenticate(server, session, envelope, mechanism, auth_data):
        if (isinstance(auth_data, LoginPassword)
                and auth_data.login == user.encode()
                and auth_data.password == password.encode()):
            return AuthResult(success=True, auth_data=user)
        return AuthResult(success=False, handled=False)
    return authenticate


def make_tls_context(cert, key):
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    return context


def smtp_factory(args, loop):
    store = MessageStore(args.store)
    handler = (XOAuth2Handler if args.xoauth2_token else Handler)(args, store)
    tls_context = make_tls_context(args.cert, args.key) if args.cert else None
    excluded = [] if args.user else list(STANDARD_MECHANISMS)
    options = dict(
        hostname="localhost",
        enable_SMTPUTF8=not args.no_smtputf8,
        tls_context=tls_context,
        require_starttls=args.require_tls,
        auth_required=bool(args.user or args.xoauth2_token),
        auth_require_tls=not args.auth_without_tls,
        auth_exclude_mechanism=excluded,
        loop=loop,
        timeout=args.idle_timeout,
    )
    if args.max_message_size is not None:
        options["data_size_limit"] = args.max_message_size
    if args.user:
        options["authenticator"] = make_authenticator(args.user, args.password)
    # The fault strikes the first connection only: later ones show that the client recovered.
    faults = [args.fault] if args.fault else []
    # aiosmtpd reads the line limit from the class when it makes a connection's stream reader.
    server_class = type("LimitedSMTP", (FaultySMTP,), {"line_length_limit": args.max_line_length})
    journal = ConnectionJournal(args.store)
    return lambda: server_class(handler, faults.pop() if faults else None, journal, **options)


async def serve(args):
    loop = asyncio.get_running_loop()
    stop = asyncio.Event()
    for signum in (signal.SIGTERM, signal.SIGINT):
        loop.add_signal_handler(signum, stop.set)
    if args.exit_with_stdin:
        def on_stdin():
            try:
                data = os.read(0, 4096)
            except OSError:
                data = b""
            if not data:
                loop.remove_reader(0)
                stop.set()
        loop.add_reader(0, on_stdin)

    silent_writers = set()

    async def stay_silent(reader, writer):
        silent_writers.add(writer)
        try:
            while await reader.read(4096):
                pass
        except (ConnectionError, asyncio.CancelledError):
            pass
        finally:
            silent_writers.discard(writer)
            writer.close()

    if args.never_greet:
        server = await asyncio.start_server(stay_silent, "127.0.0.1", 0)
    else:
        server = await loop.create_server(smtp_factory(args, loop), "127.0.0.1", 0)
    port = server.sockets[0].getsockname()[1]
    sys.stdout.write("PORT %d\n" % port)
    sys.stdout.flush()

    await stop.wait()
    server.close()
    for writer in list(silent_writers):
        writer.close()
    await server.wait_closed()


def quiet_logging(verbose):
    warnings.simplefilter("ignore")
    if verbose:
        logging.basicConfig(level=logging.DEBUG, stream=sys.stderr)
        return
    for name in ("mail.log", "asyncio"):
        logger = logging.getLogger(name)
        logger.addHandler(logging.NullHandler())
        logger.propagate = False


def main(argv):
    args = parse_arguments(argv)
    quiet_logging(args.verbose)
    try:
        asyncio.run(serve(args))
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
