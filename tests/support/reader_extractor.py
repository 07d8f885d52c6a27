#!/usr/bin/python3
"""Saves the files of a message as a file extractor does (reformime, ripmime or munpack) and
prints, in the common reader shape, only what it saved: "files", each {name, sha256}. A name
the tool made up because it could read none from the message (munpack's "part3", ripmime's
"textfile1") is null.

Usage: reader_extractor.py TOOL MESSAGE.eml...   (one JSON line per message)
"""

import hashlib
import json
import os
import re
import subprocess
import sys
import tempfile

OWN_NAMES = {
    "munpack": re.compile(r"part\d+"),
    "ripmime": re.compile(r"(textfile|part)\d+"),
}


def digest(data):
    return hashlib.sha256(data).hexdigest()


def saved_files(folder, tool):
    files = []
    for name in sorted(os.listdir(folder)):
        if tool == "munpack" and name.endswith(".desc"):
            continue  # the text of a Content-Description header, not a part
        with open(os.path.join(folder, name), "rb") as saved:
            data = saved.read()
        own = OWN_NAMES[tool].fullmatch(name)
        files.append({"name": None if own else name, "sha256": digest(data)})
    return files


def reformime(path):
    """Each leaf section with its file name (Content-Disposition, else Content-Type name)."""
    with open(path, "rb") as source:
        info = subprocess.run(["reformime", "-i"], stdin=source, capture_output=True,
                              check=True).stdout.decode("utf-8", "replace")
    files = []
    for block in info.split("\n\n"):
        fields = dict(line.split(": ", 1) for line in block.splitlines() if ": " in line)
        if "section" not in fields or fields.get("content-type", "").startswith("multipart/"):
            continue
        with open(path, "rb") as source:
            data = subprocess.run(["reformime", "-e", "-s", fields["section"]], stdin=source,
                                  capture_output=True, check=True).stdout
        name = fields.get("content-disposition-filename") or fields.get("content-name")
        files.append({"name": name, "sha256": digest(data)})
    return files


def extract(tool, path):
    if tool == "reformime":
        return reformime(path)
    with tempfile.TemporaryDirectory() as folder:
        if tool == "ripmime":
            command = ["ripmime", "-i", path, "-d", folder]
        else:  # munpack; -t also saves text parts, which it keeps otherwise
            command = ["munpack", "-q", "-t", "-C", folder, path]
        subprocess.run(command, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=True)
        return saved_files(folder, tool)


if __name__ == "__main__":
    tool = sys.argv[1]
    for path in sys.argv[2:]:
        json.dump({"reader": tool, "files": extract(tool, os.path.abspath(path))}, sys.stdout)
        sys.stdout.write("\n")
