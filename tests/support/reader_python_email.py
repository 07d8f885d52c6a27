#!/usr/bin/python3
"""Reads one message as a mail program built on Python's email package (policy.default) would,
and prints what it shows in the common reader shape (see docs/testing.md, "Mail readers").

Usage: reader_python_email.py MESSAGE.eml...   (one JSON line per message)
"""

import email
import email.policy
import hashlib
import json
import re
import sys

CID_REFERENCE = re.compile(r"""cid:([^"'\s>)]+)""", re.IGNORECASE)


def unfold(text):
    return re.sub(r"\r?\n(?=[ \t])", "", text)


def mailboxes(message, name):
    header = message[name]
    if header is None:
        return []
    return [{"name": unfold(a.display_name), "address": a.addr_spec} for a in header.addresses]


def text_of(part):
    if part is None:
        return None
    text = part.get_content() if part.get_content_maintype() == "text" else None
    return {"type": part.get_content_type(),
            "text": None if text is None else text.replace("\r\n", "\n")}


def digest(part):
    return hashlib.sha256(part.get_payload(decode=True) or b"").hexdigest()


def content_id(part):
    value = part.get("Content-ID")
    return None if value is None else str(value).strip().strip("<>")


def leaves(part):
    if part.is_multipart():
        for child in part.iter_parts():
            yield from leaves(child)
    else:
        yield part


def related_root(related):
    start = related.get_param("start")
    parts = list(related.iter_parts())
    for part in parts:
        if start and part.get("Content-ID") == start:
            return part
    return parts[0] if parts else None


def choose_body(message):
    """What a program shows as the body: get_body() with its default preference (related, html,
    plain); a multipart/related is shown through its root. Returns (body, related or None)."""
    top = message.get_body()
    if top is None or top.get_content_type() != "multipart/related":
        return top, None
    root = related_root(top)
    if root is not None and root.is_multipart():
        root = root.get_body(preferencelist=("html", "plain"))
    return root, top


def inline_images(body, related):
    if body is None or body.get_content_type() != "text/html":
        return [], []
    resources = [p for p in related.iter_parts() if p is not related_root(related)] \
        if related is not None else []
    found, used = [], []
    for cid in CID_REFERENCE.findall(body.get_content()):
        match = next((p for p in resources if content_id(p) == cid), None)
        if match is None:
            found.append({"cid": cid, "type": None, "sha256": None})
        else:
            used.append(match)
            found.append({"cid": cid, "type": match.get_content_type(), "sha256": digest(match)})
    return found, used


def defects(message):
    """Every defect the parser recorded, in the message, its parts and their headers."""
    found = []
    for part in message.walk():
        found += [type(d).__name__ + ": " + str(d) for d in part.defects]
        for name, value in part.items():
            found += [name + ": " + type(d).__name__ + ": " + str(d)
                      for d in getattr(value, "defects", ())]
    return found


def read(path):
    with open(path, "rb") as source:
        message = email.message_from_binary_file(source, policy=email.policy.default)
    body, related = choose_body(message)
    plain = message.get_body(preferencelist=("plain",))
    alternative = plain if plain is not None and plain is not body else None
    inline, used = inline_images(body, related)
    listed = list(message.iter_attachments())
    attachments = [{"name": part.get_filename(), "type": part.get_content_type(),
                    "sha256": digest(part)} for part in listed]
    shown = [body, alternative] + used
    covered = set()
    for part in listed:
        covered.update(id(leaf) for leaf in leaves(part))
    other = [{"type": leaf.get_content_type(), "name": leaf.get_filename()}
             for leaf in leaves(message)
             if id(leaf) not in covered and not any(leaf is s for s in shown)]
    subject = message["Subject"]
    return {
        "reader": "python-email",
        "subject": None if subject is None else unfold(str(subject)),
        "from": mailboxes(message, "From"),
        "to": mailboxes(message, "To"),
        "cc": mailboxes(message, "Cc"),
        "body": text_of(body),
        "alternative": text_of(alternative),
        "inline": inline,
        "attachments": attachments,
        "other": other,
        "defects": defects(message),
    }


if __name__ == "__main__":
    for path in sys.argv[1:]:
        json.dump(read(path), sys.stdout)
        sys.stdout.write("\n")
