#!/usr/bin/python3
"""Reads one message as a mail program built on GMime 3 would, in strict RFC 2047 mode as
careful programs use it, and prints what it shows in the common reader shape (see
docs/testing.md, "Mail readers").

Usage: reader_gmime.py MESSAGE.eml...   (one JSON line per message)
"""

import hashlib
import json
import re
import sys

import gi

gi.require_version("GMime", "3.0")
from gi.repository import GMime  # noqa: E402

CID_REFERENCE = re.compile(r"""cid:([^"'\s>)]+)""", re.IGNORECASE)


def unfold(text):
    # GMime keeps the line break of a folded display name.
    return None if text is None else re.sub(r"\r?\n(?=[ \t])", "", text)


def mailboxes(addresses):
    found = []
    if addresses is None:
        return found
    for i in range(addresses.length()):
        address = addresses.get_address(i)
        if isinstance(address, GMime.InternetAddressGroup):
            found.extend(mailboxes(address.get_members()))
        else:
            found.append({"name": unfold(address.get_name()) or "", "address": address.get_addr()})
    return found


def mime_type(part):
    return part.get_content_type().get_mime_type().lower()


def content_bytes(part):
    stream = GMime.StreamMem.new()
    content = part.get_content()
    if content is not None:
        content.write_to_stream(stream)
    return bytes(stream.get_byte_array() or b"")


def digest(part):
    return hashlib.sha256(content_bytes(part)).hexdigest()


def text_of(part):
    if part is None:
        return None
    text = part.get_text() if isinstance(part, GMime.TextPart) else None
    return {"type": mime_type(part),
            "text": None if text is None else text.replace("\r\n", "\n")}


def children(multipart):
    return [multipart.get_part(i) for i in range(multipart.get_count())]


def leaves(part):
    if isinstance(part, GMime.Multipart):
        for child in children(part):
            yield from leaves(child)
    elif isinstance(part, GMime.Part):
        yield part


def related_root(related):
    parts = children(related)
    start = related.get_content_type_parameter("start")
    for part in parts:
        if start and part.get_content_id() == start.strip("<>"):
            return part
    return parts[0] if parts else None


def showable(part, wanted):
    return isinstance(part, GMime.Part) and mime_type(part) in wanted


def path_to(part, target):
    """The parts from part down to target (both included), or None."""
    if part is target:
        return [part]
    if isinstance(part, GMime.Multipart):
        for child in children(part):
            path = path_to(child, target)
            if path:
                return [part] + path
    return None


def choose_body(message):
    """GMime's own guess (get_body), then as a program shows it: the last alternative it can
    display, a multipart/related through its root. The images of an HTML body come from the
    nearest multipart/related whose root holds it. Returns (body, plain alternative, related)."""
    body, plain = message.get_body(), None
    while isinstance(body, GMime.Multipart):
        kind = mime_type(body)
        if kind == "multipart/related":
            body = related_root(body)
        elif kind == "multipart/alternative":
            parts = children(body)
            shown = [p for p in parts if showable(p, ("text/html", "text/plain"))
                     or isinstance(p, GMime.Multipart)]
            plain = next((p for p in parts if showable(p, ("text/plain",))), None)
            body = shown[-1] if shown else None
        else:
            body = children(body)[0] if body.get_count() else None
    if plain is body:
        plain = None
    related = None
    path = path_to(message.get_mime_part(), body) if body is not None else None
    for i, part in enumerate(path or []):
        if mime_type(part) == "multipart/related" and related_root(part) is path[i + 1]:
            related = part
    return body, plain, related


def inline_images(body, related):
    if body is None or mime_type(body) != "text/html":
        return [], []
    root = related_root(related) if related is not None else None
    resources = [p for p in children(related) if p is not root] if related is not None else []
    found, used = [], []
    for cid in CID_REFERENCE.findall(body.get_text() or ""):
        match = next((p for p in resources if p.get_content_id() == cid), None)
        if match is None:
            found.append({"cid": cid, "type": None, "sha256": None})
        else:
            used.append(match)
            found.append({"cid": cid, "type": mime_type(match), "sha256": digest(match)})
    return found, used


def read(path):
    options = GMime.ParserOptions.new()
    options.set_rfc2047_compliance_mode(GMime.RfcComplianceMode.STRICT)
    stream = GMime.StreamFile.open(path, "rb")
    parser = GMime.Parser.new_with_stream(stream)
    message = parser.construct_message(options)
    body, plain, related = choose_body(message)
    inline, used = inline_images(body, related)
    shown = [p for p in [body, plain] + used if p is not None]
    attachments, other = [], []
    for leaf in leaves(message.get_mime_part()):
        if any(leaf is s for s in shown):
            continue
        if leaf.is_attachment():
            attachments.append({"name": leaf.get_filename(), "type": mime_type(leaf),
                                "sha256": digest(leaf)})
        else:
            other.append({"type": mime_type(leaf), "name": leaf.get_filename()})
    return {
        "reader": "gmime",
        "subject": unfold(message.get_subject()),
        "from": mailboxes(message.get_from()),
        "to": mailboxes(message.get_to()),
        "cc": mailboxes(message.get_cc()),
        "body": text_of(body),
        "alternative": text_of(plain),
        "inline": inline,
        "attachments": attachments,
        "other": other,
    }


if __name__ == "__main__":
    GMime.init()
    for path in sys.argv[1:]:
        json.dump(read(path), sys.stdout)
        sys.stdout.write("\n")
