#!/usr/bin/python3
"""Sends mail through Larkmail.dll under Wine and checks what arrived.

Each case writes a job file for larkmail-wine-host.exe (a host laid out as an MSVC host sees
the library), starts the peers it needs on 127.0.0.1 (tests/support/smtp_server.py, microsocks),
runs the host with scripts/wine-run and checks the host's report and the stored messages. The
connection and address cases are those of tests/integration/send_scenarios.json (Linux's too).

    run_library_tests.py BUILD_WINDOWS_DIR [CASE...]

Exit status 0 when every case passed.
"""

import email
import email.header
import email.policy
import glob
import json
import os
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.abspath(os.path.join(HERE, "..", "..", ".."))
SMTP_SERVER = os.path.join(ROOT, "tests", "support", "smtp_server.py")
WINE_RUN = os.path.join(ROOT, "scripts", "wine-run")
with open(os.path.join(ROOT, "tests", "integration", "send_scenarios.json"), encoding="utf-8") as f:
    SCENARIOS = json.load(f)

# A 1x1 PNG for attachments and inline images.
PNG = bytes.fromhex(
    "89504e470d0a1a0a0000000d49484452000000010000000108060000001f15c489"
    "0000000d4944415478da63f8cfc0f01f0005000201a3b8f1b80000000049454e44ae426082")


def windows_path(path):
    """The path under Wine's drive Z:, which maps the Unix root."""
    return "Z:" + path.replace("/", "\\")


def failure_texts(language):
    """The failure texts of one language, read from the library's table."""
    with open(os.path.join(ROOT, "src", "larkmail", "results", "result_texts.cpp"),
              encoding="utf-8") as source:
        text = source.read()
    block = text[text.index("k%s[kFailureTextCount]" % language):]
    block = block[:block.index("};")]
    return re.findall(r'TEXT\("((?:[^"\\]|\\.)*)"\)', block)


class Peer:
    """One child process on 127.0.0.1 that reports or is given its port."""

    def __init__(self, argv, port=None):
        self.process = subprocess.Popen(argv, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=subprocess.DEVNULL)
        if port is None:
            line = self.process.stdout.readline().decode()
            if not line.startswith("PORT "):
                raise RuntimeError("peer did not report its port: %r" % line)
            port = int(line.split()[1])
        else:
            deadline = time.time() + 10
            while time.time() < deadline:
                try:
                    socket.create_connection(("127.0.0.1", port), 0.5).close()
                    break
                except OSError:
                    time.sleep(0.1)
        self.port = port

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Case:
    """The folder, peers and host run of one case."""

    def __init__(self, build, folder, name):
        self.build = build
        self.folder = os.path.join(folder, name)
        self.store = os.path.join(self.folder, "store")
        os.makedirs(self.store)
        self.peers = []
        self.failures = []

    def server(self, *options):
        peer = Peer(["/usr/bin/python3", SMTP_SERVER, "--store", self.store,
                     "--exit-with-stdin"] + list(options))
        self.peers.append(peer)
        return peer.port

    def socks(self, user=None, password=None):
        port = free_port()
        login = ["-u", user, "-P", password] if user else []
        peer = Peer(["/usr/bin/microsocks", "-i", "127.0.0.1", "-p", str(port)] + login, port)
        self.peers.append(peer)
        return port

    def file(self, name, data):
        path = os.path.join(self.folder, name)
        with open(path, "wb") as out:
            out.write(data)
        return path

    def run(self, job, environment=None, seconds=90):
        """Runs the host on the job (list of key, value) and returns its report."""
        job_file = self.file("job.txt", "".join(
            "%s=%s\n" % (key, value) for key, value in job).encode("utf-8"))
        out = os.path.join(self.folder, "host.out")
        err = os.path.join(self.folder, "host.err")
        env = dict(os.environ)
        env.update(environment or {})
        host = os.path.join(self.build, "tests", "larkmail-wine-host.exe")
        status = subprocess.call([WINE_RUN, str(seconds), out, err, host, windows_path(job_file)],
                                 env=env)
        with open(out, encoding="utf-8", errors="replace") as report_file:
            lines = report_file.read().splitlines()
        report = {}
        for line in lines:
            key, _, value = line.partition("=")
            report.setdefault(key, []).append(value)
        self.check(status == 0, "host exit status %d, output %r" % (status, lines))
        self.check(report.get("table") == ["ok"], "operation tables answered wrongly")
        self.check(report.get("done") == ["1"], "host did not finish")
        return report

    def tool(self, arguments, environment=None, seconds=90):
        """Runs larkmail-send.exe with the arguments; returns its exit status and output."""
        out = os.path.join(self.folder, "tool.out")
        err = os.path.join(self.folder, "tool.err")
        env = dict(os.environ)
        env.update(environment or {})
        tool = os.path.join(self.build, "tests", "larkmail-send.exe")
        status = subprocess.call([WINE_RUN, str(seconds), out, err, tool] + arguments, env=env)
        with open(out, encoding="utf-8", errors="replace") as output:
            return status, output.read()

    def messages(self):
        """The stored messages, parsed, with their envelopes."""
        found = []
        for path in sorted(glob.glob(os.path.join(self.store, "*.json"))):
            with open(path, encoding="utf-8") as envelope_file:
                envelope = json.load(envelope_file)
            with open(path[:-len(".json")] + ".eml", "rb") as eml:
                message = email.message_from_bytes(eml.read(), policy=email.policy.compat32)
            found.append((envelope, message))
        return found

    def check(self, condition, text):
        if not condition:
            self.failures.append(text)
        return condition

    def one_message(self):
        found = self.messages()
        self.check(len(found) == 1, "expected one message, got %d" % len(found))
        return found[0] if found else ({}, email.message_from_string(""))

    def stop(self):
        for peer in self.peers:
            peer.stop()


def base_job(port, **extra):
    job = [("host", "127.0.0.1"), ("port", port), ("from", "sender@example.org|Sender"),
           ("to", "rcpt@example.org|Recipient"), ("subject", "Hello from Wine"),
           ("text", "First line\\nSecond line")]
    job += list(extra.items())
    return job


def decoded_subject(message):
    return str(email.header.make_header(email.header.decode_header(message["Subject"])))


def text_part(message):
    for part in message.walk():
        if part.get_content_type() == "text/plain":
            return part.get_payload(decode=True).decode(part.get_content_charset() or "ascii")
    return None


def sent(case, report, envelope_checks=None):
    case.check(report.get("result") == ["1"], "Send returned %r" % report.get("result"))
    case.check(report.get("last_result") == ["0"], "GetLastResult %r" % report.get("last_result"))
    envelope, message = case.one_message()
    case.check(envelope.get("mail_from") == "sender@example.org", "envelope sender")
    case.check(envelope.get("rcpt_tos") == ["rcpt@example.org"], "envelope recipients")
    for key, value in (envelope_checks or {}).items():
        case.check(envelope.get(key) == value, "%s is %r" % (key, envelope.get(key)))
    return message


def case_plain(case):
    report = case.run(base_job(case.server()))
    # The code page in which credentials and host names reach libcurl (docs/windows.md).
    case.check(report.get("ansi_code_page") == ["1252"],
               "ANSI code page %r" % report.get("ansi_code_page"))
    message = sent(case, report)
    case.check(decoded_subject(message) == "Hello from Wine", "subject")
    body = text_part(message) or ""
    case.check(body.startswith("First line\r\nSecond line") or
               body.startswith("First line\nSecond line"), "text body %r" % body)
    case.check(message["From"] and "sender@example.org" in message["From"], "From header")


def case_attachments(case):
    document = case.file("report.txt", b"attached text\r\n")
    image = case.file("picture.png", PNG)
    port = case.server()
    job = base_job(port, html='<p>Look: <img src="cid:pic1"></p>')
    job += [("attach", windows_path(document)), ("inline", windows_path(image) + "|pic1")]
    message = sent(case, case.run(job))
    parts = {part.get_content_type(): part for part in message.walk()}
    case.check("multipart/related" in parts, "no multipart/related for the inline image")
    case.check("text/html" in parts, "no HTML part")
    attachment = [p for p in message.walk() if p.get_filename() == "report.txt"]
    case.check(attachment and attachment[0].get_payload(decode=True) == b"attached text\r\n",
               "attachment missing or changed")
    images = [p for p in message.walk() if p.get_content_type() == "image/png"]
    case.check(images and images[0].get_payload(decode=True) == PNG, "inline image changed")
    case.check(images and (images[0].get("Content-ID") or "").strip("<>") == "pic1",
               "inline image Content-ID")


def case_subject_charsets(case):
    port = case.server()
    for charset, subject in (("utf-8", "Grüße aus Köln – 日本"),
                             ("iso-8859-1", "Grüße aus Köln, ½ €uro")):
        expected = subject.encode(charset, "ignore").decode(charset)
        before = len(case.messages())
        job = [item for item in base_job(port) if item[0] != "subject"]
        report = case.run(job + [("subject", subject), ("charset", charset)])
        case.check(report.get("result") == ["1"], "%s: Send returned %r" % (charset, report.get("result")))
        found = case.messages()
        if case.check(len(found) == before + 1, "%s: no message" % charset):
            message = found[-1][1]
            got = decoded_subject(message)
            case.check(got == expected, "%s: subject %r, expected %r" % (charset, got, expected))
            case.check(charset in message["Subject"].lower(), "%s: encoded word charset" % charset)


def case_send_tool(case):
    """larkmail-send.exe with the Larkmail.dll beside it, as an administrator runs it."""
    data = b"Datum;Betrag\r\n2026-12-01;12,50\r\n"
    attachment = case.file("Grüße.csv", data)
    plain = str(case.server())
    login = str(case.server("--user", "ann", "--password", "right", "--auth-without-tls"))
    mail = ["--host", "127.0.0.1", "--no-tls", "--from", "sender@example.org",
            "--to", "rcpt@example.org", "--subject", "From the tool", "--text", "hello"]

    def attached(message):
        parsed = email.message_from_string(message.as_string(), policy=email.policy.default)
        parts = [p for p in parsed.walk() if p.get_filename() == "Grüße.csv"]
        return bool(parts) and parts[0].get_payload(decode=True) == data

    # Each row: (name, arguments, exit status, pattern of the output, messages stored after it,
    # check of the last message).
    rows = [
        ("help", ["--help"], 0, r"Usage: .*larkmail-send\.exe \[OPTION\]\.\.\.\n(.|\n)*--attach PATH",
         0, None),
        ("attachment", mail + ["--port", plain, "--attach", windows_path(attachment)], 0,
         r"result: 1\n$", 1, attached),
        ("refused login", mail + ["--port", login, "--user", "ann", "--password", "wrong"], 1,
         r"result: -12\nserver: 535 \S", 1, None),
    ]
    for name, arguments, expected, pattern, stored, check in rows:
        # A UTF-8 locale, so that Wine hands the attachment's name to the tool unchanged.
        status, output = case.tool(arguments, {"LC_ALL": "C.UTF-8"})
        case.check(status == expected, "%s: exit status %d, output %r" % (name, status, output))
        case.check(re.match(pattern, output), "%s: output %r" % (name, output))
        found = case.messages()
        if case.check(len(found) == stored, "%s: %d messages stored" % (name, len(found))) and check:
            case.check(check(found[-1][1]), "%s: the stored message fails its check" % name)


def case_com_apartment(case):
    # The host's thread is in the multithreaded apartment; a send (its Message-ID) and an
    # asynchronous send leave it there.
    port = case.server()
    for mode in ("sync", "async"):
        report = case.run(base_job(port, com="mta", mode=mode))
        case.check(report.get("com_init") == ["0"],
                   "%s: CoInitializeEx %r" % (mode, report.get("com_init")))
        for key in ("com_before", "com_after"):
            case.check(report.get(key) == ["1"],
                       "%s: %s %r, expected S_FALSE (still initialised)" % (mode, key, report.get(key)))
    case.check(len(case.messages()) == 2, "expected two messages")


def case_send_log(case):
    port = case.server()
    log = os.path.join(case.folder, "send.log")
    sent(case, case.run(base_job(port, log=windows_path(log))))
    if case.check(os.path.isfile(log), "no send log"):
        with open(log, "rb") as log_file:
            text = log_file.read().decode("latin-1")
        case.check("MAIL FROM" in text and "250" in text, "send log lacks the dialogue")


def case_result_languages(case):
    closed = free_port()
    for language, table in (("en", "English"), ("ja", "Japanese")):
        report = case.run([("port", closed), ("to", "rcpt@example.org"), ("subject", "x"),
                           ("mode", "async")], {"LARKMAIL_LANGUAGE": language})
        expected = "1|-5|%s|main" % failure_texts(table)[4]
        case.check(report.get("completion") == [expected],
                   "%s: completion %r, expected %r" % (language, report.get("completion"), expected))


def case_async(case):
    port = case.server()
    report = case.run(base_job(port, mode="async"))
    case.check(report.get("task") == ["1"], "SendAsync returned %r" % report.get("task"))
    case.check(report.get("completion") == ["1|1||main"],
               "completion %r (the host's thread, through its message loop)" % report.get("completion"))
    case.one_message()


def case_async_reuse(case):
    """Tasks queued before the host pumps share the worker's connection, which ends with QUIT
    when the client goes."""
    port = case.server()
    report = case.run(base_job(port, mode="async", tasks="5"))
    case.check(report.get("completion") == ["%d|1||main" % i for i in range(1, 6)],
               "completions %r" % report.get("completion"))
    case.check(len(case.messages()) == 5, "%d messages" % len(case.messages()))
    deadline = time.time() + 10
    events = []
    while time.time() < deadline:
        with open(os.path.join(case.store, "connections.log")) as journal:
            events = journal.read().split()
        if "close" in events:
            break
        time.sleep(0.1)
    case.check(events == ["open", "1", "ehlo", "1", "quit", "1", "close", "1"],
               "connections %r" % events)


def case_reload(case):
    # The host loads the library, sends asynchronously and unloads it, four times, each load
    # at another address; every completion arrives.
    port = case.server()
    report = case.run(base_job(port, mode="reload"))
    bases = report.get("base") or []
    case.check(len(set(bases)) == 4, "load addresses %r, expected four different" % bases)
    case.check(report.get("completion") == ["1|1||main"] * 4,
               "completions %r" % report.get("completion"))
    case.check(len(case.messages()) == 4, "expected four messages")


def case_cancel(case):
    port = case.server("--never-greet")
    report = case.run(base_job(port, mode="cancel"), {"LARKMAIL_RESPONSE_TIMEOUT": "2"})
    case.check(report.get("task") == ["1", "2", "3"], "task ids %r" % report.get("task"))
    case.check(report.get("cancel_2") == ["1"], "CancelAsync(2) %r" % report.get("cancel_2"))
    case.check(report.get("cancel_2_again") == ["-1"], "second CancelAsync(2)")
    case.check(report.get("cancel_all") == ["1"], "CancelAsync(0) did not remove task 3")
    completion = (report.get("completion") or [""])
    case.check(len(completion) == 1 and completion[0].startswith("1|-"),
               "completions %r: only task 1, failed" % completion)


# Text outside the ANSI code page, run under a Western (1252) and a Japanese (932) user locale.
# The locales' Unix character set is UTF-8, so that Wine can give every file name to the Unix
# side; the Windows ANSI code page still follows the language.
LOCALES = (("en_US.UTF-8", "1252"), ("ja_JP.UTF-8", "932"))

# Each row: (name, server options, job items, expected result, check of what arrived). A check
# gets the case, the envelope and the raw message; rows that expect a failure expect no message.
def international_rows(case):
    files = {name: case.file(name, data) for name, data in (
        ("報告書.csv", "Datum;Betrag\r\n2026-12-01;12,50 €\r\n".encode("utf-8")),
        ("Grüße.csv", b"a;b\r\n1;2\r\n"), ("ロゴ.png", PNG), ("画像.png", PNG[::-1]))}
    html = case.file("page.html", ('<p><img src="%s"></p>' % windows_path(files["画像.png"])).encode())

    def file_check(case, envelope, message):
        parsed = email.message_from_bytes(message, policy=email.policy.default)
        attached = {p.get_filename(): p.get_payload(decode=True)
                    for p in parsed.walk() if p.get_content_disposition() == "attachment"}
        for name in ("報告書.csv", "Grüße.csv"):
            case.check(attached.get(name) == open(files[name], "rb").read(),
                       "attachment %s: got names %r" % (name, list(attached)))
        images = [p.get_payload(decode=True) for p in parsed.walk() if p.get_content_type() == "image/png"]
        case.check(sorted(images) == sorted([PNG, PNG[::-1]]), "inline images: %d" % len(images))

    def address_check(row):
        def check(case, envelope, message):
            for field, address in (("From", row["mail_from"]), ("To", row["rcpt_to"])):
                case.check(("\r\n%s: %s\r\n" % (field, address)).encode() in message,
                           "%s header lacks %s" % (field, address))
            case.check(("SMTPUTF8" in envelope.get("mail_options", [])) == row["smtputf8"],
                       "MAIL options %r" % envelope.get("mail_options"))
        return check

    login_server = ("--user", "usér", "--password", "prix€ü", "--auth-without-tls")
    sent = ("sender@example.org", "rcpt@example.org")
    rows = [
        ("file names", (), [("attach", windows_path(files["報告書.csv"])),
                            ("attach", windows_path(files["Grüße.csv"])),
                            ("inline", windows_path(files["ロゴ.png"]) + "|logo"),
                            ("body_file", windows_path(html) + "|5")], 1, file_check, sent),
        ("login", login_server, [("user", "usér"), ("password", "prix€ü")], 1,
         lambda case, envelope, message: case.check(envelope.get("auth_user") == "usér", "user"),
         sent),
        ("Cyrillic password", ("--user", "u", "--password", "пароль", "--auth-without-tls"),
         [("user", "u"), ("password", "пароль")], 1, None, sent),
        ("proxy login", (), [("proxy_login", "prøxy|пароль€")], 1, None, sent),
    ]
    for row in SCENARIOS["international_addresses"]:
        items = [("from", row.get("sender", "sender@example.org")), ("to", row["recipient"])]
        items += [("host", row["host"])] if "host" in row else []
        rows.append((row["name"], () if row["smtputf8"] else ("--no-smtputf8",), items,
                     row["result"], address_check(row) if "mail_from" in row else None,
                     (row.get("mail_from"), row.get("rcpt_to"))))
    return rows


def case_international(case):
    locales = os.path.join(case.build, "locales")
    os.makedirs(locales, exist_ok=True)
    for name, code_page in LOCALES:
        if not os.path.isdir(os.path.join(locales, name)):
            language, charset = name.split(".")
            subprocess.run(["localedef", "-i", language, "-f", charset, os.path.join(locales, name)],
                           check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        environment = {"LOCPATH": locales, "LC_ALL": name}
        for row, options, items, expected, check, addresses in international_rows(case):
            label = "%s, %s" % (name, row)
            port = case.server(*options)
            keys = {key for key, _ in items}
            job = [item for item in base_job(port) if item[0] not in keys] + items
            for key, value in items:
                if key == "proxy_login":  # a SOCKS5 proxy that requires this login
                    user, password = value.split("|")
                    job.append(("proxy", "127.0.0.1|%d|2|%s" % (case.socks(user, password), value)))
            report = case.run(job, environment)
            case.stop()
            case.peers = []
            case.check(report.get("ansi_code_page") == [code_page],
                       "%s: ANSI code page %r" % (label, report.get("ansi_code_page")))
            case.check(report.get("result") == [str(expected)],
                       "%s: Send returned %r" % (label, report.get("result")))
            # Each row's server numbers its messages from 1: the files go with the row.
            arrived = []
            for path in glob.glob(os.path.join(case.store, "*.eml")):
                with open(path[:-len(".eml")] + ".json", encoding="utf-8") as envelope_file:
                    envelope = json.load(envelope_file)
                with open(path, "rb") as eml:
                    arrived.append((envelope, eml.read()))
                os.remove(path)
                os.remove(path[:-len(".eml")] + ".json")
            if not case.check(len(arrived) == (1 if expected == 1 else 0),
                              "%s: %d messages arrived" % (label, len(arrived))):
                continue
            for envelope, raw in arrived:
                case.check(envelope.get("mail_from") == addresses[0],
                           "%s: envelope sender %r" % (label, envelope.get("mail_from")))
                case.check(envelope.get("rcpt_tos") == [addresses[1]],
                           "%s: envelope recipients %r" % (label, envelope.get("rcpt_tos")))
                if check:
                    failures = len(case.failures)
                    check(case, envelope, raw)
                    case.failures[failures:] = ["%s: %s" % (label, f) for f in case.failures[failures:]]


def make_certificate(case):
    cert = os.path.join(case.folder, "cert.pem")
    key = os.path.join(case.folder, "key.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt",
                    "ec_paramgen_curve:prime256v1", "-nodes", "-days", "2", "-subj",
                    "/CN=localhost", "-addext", "subjectAltName=DNS:localhost,IP:127.0.0.1",
                    "-keyout", key, "-out", cert], check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    return cert, key


def connection_case(row):
    """A row of the connection table, which the Linux tests send too."""
    def run(case):
        server, client, proxy = row.get("server", {}), row.get("client", {}), row.get("proxy")
        options = ["--require-tls"] if server.get("require_tls") else []
        if server.get("tls"):
            cert, key = make_certificate(case)
            options += ["--cert", cert, "--key", key]
        for key in ("user", "password", "xoauth2_token"):
            options += ["--" + key.replace("_", "-"), server[key]] if key in server else []
        job = base_job(case.server(*options), **{key: "1" if value is True else value
                                                   for key, value in client.items()})
        if proxy is not None:  # SOCKS5, with a login when given
            login = proxy.get("login", [])
            port = free_port() if proxy.get("absent") else case.socks(*login)
            job.append(("proxy", "|".join(["127.0.0.1", str(port), "2"] +
                                          proxy.get("client_login", login))))
        report = case.run(job)
        if proxy is not None:
            case.check(report.get("set_proxy") == ["1"], "SetProxy %r" % report.get("set_proxy"))
        if row["result"] == 1:
            envelope = row.get("envelope", {})
            sent(case, report, {"auth_user": envelope.get("auth_user"),
                                "tls": envelope.get("tls", False)})
            return
        case.check(report.get("result") == [str(row["result"])], "Send %r" % report.get("result"))
        case.check(report.get("last_result") == [str(row.get("last_result", 0))],
                   "GetLastResult %r" % report.get("last_result"))
        case.check(not case.messages(), "a message arrived")
    return run


CASES = [(re.sub(r"\W+", "_", row["name"]), connection_case(row))
         for row in SCENARIOS["connections"]]
CASES += [(name[len("case_"):], function) for name, function in globals().items()
          if name.startswith("case_")]


def main(argv):
    if len(argv) < 2:
        print(__doc__)
        return 2
    build = os.path.abspath(argv[1])
    chosen = set(argv[2:])
    folder = tempfile.mkdtemp(prefix="larkmail-wine-")
    failed = 0
    try:
        for name, function in CASES:
            if chosen and name not in chosen:
                continue
            case = Case(build, folder, name)
            start = time.time()
            try:
                function(case)
            except Exception as error:  # a broken case is a failed case, the others still run
                case.failures.append("%s: %s" % (type(error).__name__, error))
            finally:
                case.stop()
            status = "ok" if not case.failures else "FAILED"
            print("wine library %-22s %s (%.1f s)" % (name, status, time.time() - start))
            for failure in case.failures:
                print("    " + failure)
            failed += bool(case.failures)
    finally:
        if failed:
            print("case folders kept in " + folder)
        else:
            shutil.rmtree(folder, ignore_errors=True)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
