#!/usr/bin/python3
"""Parses a stored message with Python's email package and prints a JSON description of it.

Usage: mime_report.py MESSAGE.eml

Output (one JSON object):
  defects   list of defect descriptions the parser found anywhere in the message
  root      the top-level part; every part has
    headers           list of {"name", "raw", "value"}: raw is the header text as received
                      (folding kept), value the decoded, unfolded text
    content_type      e.g. "multipart/mixed", "text/plain"
    charset           the charset parameter or null
    disposition       "inline", "attachment" or null
    filename          the decoded file name or null
    content_id        the Content-ID header or null
    transfer_encoding the Content-Transfer-Encoding or null
    children          the sub-parts of a multipart part, in order (empty for other parts)
    data_base64       the decoded payload of a non-multipart part, base64-encoded
    text              for a text/* part, the payload decoded with its charset (null otherwise
                      or when it cannot be decoded)
"""

import base64
import email
import email.policy
import json
import sys


def describe_headers(part):
    described = []
    for name, raw in part.raw_items():
        try:
            value = str(part.policy.header_fetch_parse(name, raw))
        except Exception:
            value = raw
        described.append({"name": name, "raw": raw, "value": value})
    return described


def text_or_none(value):
    return None if value is None else str(value)


def valid_text(value):
    """Undecodable bytes (lone surrogates) become U+FFFD so that the output is valid JSON text."""
    if isinstance(value, str):
        return value.encode("utf-16", "surrogatepass").decode("utf-16", "replace")
    if isinstance(value, list):
        return [valid_text(v) for v in value]
    if isinstance(value, dict):
        return {k: valid_text(v) for k, v in value.items()}
    return value


def describe_part(part, defects):
    defects.extend("%s: %s" % (type(d).__name__, d) for d in part.defects)
    description = {
        "headers": describe_headers(part),
        "content_type": part.get_content_type(),
        "charset": part.get_param("charset"),
        "disposition": part.get_content_disposition(),
        "filename": text_or_none(part.get_filename()),
        "content_id": text_or_none(part.get("Content-ID")),
        "transfer_encoding": text_or_none(part.get("Content-Transfer-Encoding")),
        "children": [],
        "data_base64": None,
        "text": None,
    }
    if part.is_multipart():
        description["children"] = [describe_part(p, defects) for p in part.get_payload()]
        return description
    payload = part.get_payload(decode=True) or b""
    description["data_base64"] = base64.b64encode(payload).decode("ascii")
    if part.get_content_maintype() == "text":
        try:
            description["text"] = part.get_content()
        except Exception:
            description["text"] = None
    return description


def main(argv):
    if len(argv) != 1:
        sys.stderr.write("usage: mime_report.py MESSAGE.eml\n")
        return 2
    with open(argv[0], "rb") as source:
        message = email.message_from_binary_file(source, policy=email.policy.default)
    defects = []
    root = describe_part(message, defects)
    json.dump(valid_text({"defects": defects, "root": root}), sys.stdout, ensure_ascii=True)
    sys.stdout.write("\n")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
