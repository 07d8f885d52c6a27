#!/usr/bin/python3
"""Compares the conversion cases of the Linux build (iconv) with those of the Windows build
(code pages, run under Wine): every line must agree, except the documented differences below.

    compare_conversions.py LINUX_OUTPUT WINDOWS_OUTPUT
"""

import sys

# (charset, text) -> why the bytes differ. Keep docs/windows.md in step.
DOCUMENTED = {
    ("gb2312", "western"):
        "U+2014 EM DASH: code page 936 maps it to A1AA, iconv's GB2312 maps A1AA to U+2015 "
        "and leaves U+2014 out",
}


def read(path):
    lines = {}
    with open(path, encoding="ascii") as source:
        for line in source.read().replace("\r", "").splitlines():
            charset, text, result, data = line.split(" ")
            lines[(charset, text)] = (result, data)
    return lines


def main(argv):
    linux, windows = read(argv[1]), read(argv[2])
    failed = 0
    if set(linux) != set(windows) or not linux:
        print("conversion cases differ in number: linux %d, windows %d" % (len(linux), len(windows)))
        failed += 1
    for key in sorted(linux):
        if key not in windows or linux[key] == windows[key]:
            continue
        if key in DOCUMENTED:
            print("conversion %s %s: documented difference (%s)" % (key + (DOCUMENTED[key],)))
            continue
        failed += 1
        print("conversion %s %s FAILED: linux %s %s, windows %s %s"
              % (key + linux[key] + windows[key]))
    for key in sorted(DOCUMENTED):
        if key in linux and linux.get(key) == windows.get(key):
            print("conversion %s %s: documented difference no longer differs" % key)
    print("conversion cases: %d compared, %d failed" % (len(linux), failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
