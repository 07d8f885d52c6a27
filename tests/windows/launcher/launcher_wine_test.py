#!/usr/bin/python3
"""The Windows launcher under Wine, end to end.

Application copies are made with package-app.exe (string 1005 through the resource-update API),
the registry is written by importing .reg files, and each case is started by launcher_probe.exe,
which reads and closes every message box and reports the exit code as the launcher returned it.
The stand-in runtime (cvvm.dll) records its six arguments and PATH. Every Wine call goes through
scripts/wine-run with a time limit.

Usage: launcher_wine_test.py BUILD_WINDOWS_DIR HELPERS_DIR
"""
import glob
import os
import shutil
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))))
WINE_RUN = os.path.join(ROOT, "scripts", "wine-run")
BUILD = os.path.abspath(sys.argv[1])
HELPERS = os.path.abspath(sys.argv[2])
WORK = os.path.join(HELPERS, "work")
# A real 32-bit DLL: Wine's own i386 build of zlib (Debian's libwine ships it).
I386_DLL = (glob.glob("/usr/lib/*/wine/i386-windows/zlib1.dll") + [""])[0]
# The shared runtime folder "rt" as seen from a case's application folder (cases/N/app).
RELATIVE_RT = "..\\..\\..\\runtimes\\rt"
SOLUTION = "\r\nSolution: Enter the application URL in the browser to run the application."


def win(path):
    """The Windows name Wine gives a Unix path (drive Z: is the Unix root)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def wine(seconds, *args, env=None):
    out, err = os.path.join(WORK, "wine.out"), os.path.join(WORK, "wine.err")
    status = subprocess.run([WINE_RUN, str(seconds), out, err, *args],
                            env={**os.environ, **(env or {})}).returncode
    with open(out, encoding="utf-8", errors="replace") as f:
        return status, f.read()


def read_lines(path):
    if not os.path.exists(path):
        return []
    with open(path, encoding="utf-8", errors="replace") as f:
        return f.read().splitlines()


def probe(*args):
    result = os.path.join(WORK, "probe.txt")
    if os.path.exists(result):
        os.remove(result)
    status, _ = wine(30, os.path.join(HELPERS, "launcher_probe.exe"), args[0], win(result),
                     *args[1:])
    return status, read_lines(result)


# Application copies, made once: name -> package-app options (None: the launcher as built).
COPIES = {
    "v2000": ["--version", "22.0.0.2000"],
    "v2000-psa": ["--version", "22.0.0.2000", "--trailer", "PSA"],
    "unversioned": None,
    "v2000-over-v2100": ["--version", "22.0.0.2000"],  # packaged from a 22.0.0.2100 copy
    "v20-chars": ["--version", "22.0.0.2000.000000001"],
    "v2000-xml-relative": ["--version", "22.0.0.2000", "--runtime-path", RELATIVE_RT],
}


def make_copies():
    copies = os.path.join(WORK, "copies")
    os.makedirs(copies)
    package_app = os.path.join(BUILD, "package-app.exe")
    failures = []

    def package(name, launcher, options):
        os.makedirs(os.path.join(copies, name))
        output = os.path.join(copies, name, "Sales.exe")
        status, _ = wine(60, package_app, "--launcher", win(launcher), "--output", win(output),
                         *options)
        if status != 0:
            failures.append(f"package-app {name}: exit {status}")
        return output

    launcher = os.path.join(BUILD, "launcher.exe")
    older = package("v2100", launcher, ["--version", "22.0.0.2100"])
    # A string table whose block holds another string but not 1005.
    os.makedirs(os.path.join(copies, "other-string-only"))
    other = os.path.join(copies, "other-string-only", "Sales.exe")
    shutil.copy(launcher, other)
    status, lines = probe("string-block", win(other), "1006", "22.0.0.2000")
    if status != 0:
        failures.append(f"string-block: {lines}")
    for name, options in COPIES.items():
        if options is None:
            os.makedirs(os.path.join(copies, name))
            shutil.copy(launcher, os.path.join(copies, name, "Sales.exe"))
        else:
            package(name, older if name == "v2000-over-v2100" else launcher, options)
    # What package-app.exe refuses: exit code 1 for what cannot be written, 2 for usage; and
    # a second packaging onto an existing copy, which replaces it (exit code 0).
    not_an_image = os.path.join(copies, "not-an-image.exe")
    repackaged = os.path.join(copies, "v2000", "Sales.exe")
    with open(not_an_image, "w") as f:
        f.write("text\n")
    for options, expected in (
            (["--launcher", win(launcher), "--output", win(os.path.join(copies, "no", "a.exe"))],
             1),
            (["--launcher", win(not_an_image), "--output", win(os.path.join(copies, "b.exe")),
              "--version", "22.0.0.2000"], 1),
            (["--launcher", win(launcher), "--output", win(os.path.join(copies, "c.exe")),
              "--trailer", "XYZ"], 2),
            (["--launcher", win(launcher), "--output", win(repackaged), "--version",
              "22.0.0.2000"], 0)):
        status, _ = wine(60, package_app, *options)
        if status != expected:
            failures.append(f"package-app {options}: exit {status}, expected {expected}")
    return copies, failures


def check_resources(copies):
    """The launcher as built carries only its version block; a packaged copy keeps it and
    gains a string table."""
    expected_block = ["translation=0409/04b0"] + [
        f'{name}=""' for name in ("CompanyName", "FileDescription", "FileVersion",
                                  "InternalName", "OriginalFilename", "ProductName",
                                  "ProductVersion")]
    failures = []
    for image, types in ((os.path.join(BUILD, "launcher.exe"), ["resource_type=16"]),
                         (os.path.join(copies, "v2000", "Sales.exe"),
                          ["resource_type=6", "resource_type=16"])):
        _, lines = probe("version", win(image))
        if lines != types + expected_block:
            failures.append(f"resources of {image}: {lines}")
    return failures


def reg_text(registry, case):
    """A .reg file that first removes every key of ours, then writes the case's entries.
    registry: {"versions": str, "runtimes": {version: folder}, "ide": (location, name)}."""
    def value(text):
        return '"' + text.replace("\\", "\\\\") + '"'
    base = "HKEY_LOCAL_MACHINE\\Software\\Meridot"
    lines = ["Windows Registry Editor Version 5.00", "", f"[-{base}]", ""]
    if "versions" in registry:
        lines += [f"[{base}\\Corvane Runtime]", f'"RuntimeVersion"={value(registry["versions"])}',
                  ""]
    for version, folder in registry.get("runtimes", {}).items():
        lines += [f"[{base}\\Corvane Runtime\\{version}]",
                  f'"Location"={value(expand(folder, case))}', ""]
    if "ide" in registry:
        location, name = registry["ide"]
        lines += [f"[{base}\\Corvane\\22.0]", f'"Location"={value(expand(location, case))}',
                  f'"IPS Name"={value(name)}', ""]
    return "\r\n".join(lines) + "\r\n"


def expand(text, case):
    return (text.replace("{RT}", win(RUNTIME_FOLDERS)).replace("{APP}", win(case["app"]))
            .replace("{EXE}", win(os.path.join(case["app"], "Sales.exe")))
            .replace("{PATH}", case.get("inherited", "")))


def escape(text):
    """A message text as the probe writes it: backslash, CR and LF escaped."""
    return text.replace("\\", "\\\\").replace("\r", "\\r").replace("\n", "\\n")


# Runtime folders shared by every case (so that cases with the same registry share one
# import): each holds the stand-in in the folder and in x64, except "empty"; "gone" is never
# made.
RUNTIME_FOLDERS = os.path.join(WORK, "runtimes")
RUNTIMES = ["rt", "rt1900", "rt2100", "rt2300"]
VERSIONS = {"versions": "22.0.0.1900,22.0.0.2100,22.0.0.2300,",
            "runtimes": {"22.0.0.1900": "{RT}\\rt1900", "22.0.0.2100": "{RT}\\rt2100",
                         "22.0.0.2300": "{RT}\\rt2300"}}
EXACT = {"versions": "22.0.0.2000,", "runtimes": {"22.0.0.2000": "{RT}\\rt"}}
RUN = {"entry": "FN_RunExecutable", "process_module": "yes", "previous": "null", "show": "7",
       "fifth": "1000", "sixth": "0", "arguments": ""}

# One row per start. files: what lies beside the copy ("cvvm64": the stand-in, "cvvm32": a
# 32-bit image, "noentries": a library without the entries, "xml:TEXT": Sales.xml with that
# RuntimePath, "xml-empty"); args: what follows the program path on the command line (the quoted path is "{EXE}" in double quotes unless
# command_line is given); boxes: the message boxes in order; record: what the stand-in received
# (None: it was not called). {PATH} is the PATH every Wine program inherits.
CASES = [
    dict(name="64-bit library beside the launcher wins, PATH unchanged", copy="v2000",
         files=["cvvm64", "xml:{RT}\\rt"], registry=EXACT, args=" -x",
         record={**RUN, "arguments": "-x", "PATH": "{PATH}"}),
    dict(name="32-bit library beside the launcher is passed over", copy="v2000",
         files=["cvvm32"], registry=EXACT,
         record={**RUN, "PATH": "{RT}\\rt\\x64;{PATH}"}),
    dict(name="XML absolute path", copy="v2000", files=["xml:{RT}\\rt"],
         registry=EXACT, record={**RUN, "PATH": "{RT}\\rt;{RT}\\rt\\x64;{PATH}"}),
    dict(name="XML relative path (written by package-app.exe)", copy="v2000-xml-relative",
         registry={},
         record={**RUN, "PATH": "{EXE}\\..\\" + RELATIVE_RT + ";{EXE}\\..\\" + RELATIVE_RT +
                 "\\x64;{PATH}"}),
    dict(name="XML empty path stops even with a registered runtime", copy="v2000",
         files=["xml-empty"], registry=EXACT,
         boxes=["[Error] The path specified in the XML file is incorrect! icon=yes topmost=yes"]),
    dict(name="registered runtime of the required version", copy="v2000",
         registry=EXACT, record={**RUN, "PATH": "{RT}\\rt\\x64;{PATH}"}),
    dict(name="version search takes the lowest version above the required one", copy="v2000",
         registry=VERSIONS,
         record={**RUN, "PATH": "{RT}\\rt2100\\x64;{PATH}"}),
    dict(name="package-app.exe replaces the string of an already packaged copy",
         copy="v2000-over-v2100", registry=VERSIONS,
         record={**RUN, "PATH": "{RT}\\rt2100\\x64;{PATH}"}),
    dict(name="without string 1005 the lowest installed version is taken", copy="unversioned",
         registry=VERSIONS,
         record={**RUN, "PATH": "{RT}\\rt1900\\x64;{PATH}"}),
    dict(name="an empty string 1005 beside another string counts as absent",
         copy="other-string-only", registry=VERSIONS,
         record={**RUN, "PATH": "{RT}\\rt1900\\x64;{PATH}"}),
    dict(name="only lower versions installed", copy="v2000",
         registry={"versions": "22.0.0.1900,", "runtimes": {"22.0.0.1900": "{RT}\\rt1900"}},
         boxes=["[Error] There is currently no matching version, Lowest Supported Version: "
                "22.0.0.2000 icon=yes topmost=yes"]),
    dict(name="a required version over 19 characters takes no registered runtime",
         copy="v20-chars", registry=VERSIONS,
         boxes=["[Error] There is currently no matching version, Lowest Supported Version: "
                " icon=yes topmost=yes"]),
    dict(name="development environment entry follows the runtime entries", copy="v2000",
         registry={**EXACT, "ide": ("{RT}\\ide", "IPS")},
         record={**RUN, "PATH": "{RT}\\rt\\x64;{RT}\\ide\\IPS\\IDE\\x64;{PATH}"}),
    dict(name="missing runtime folder, no trailer", copy="v2000", files=["xml:{RT}\\gone"],
         registry={}, boxes=["[Error] Runtime path not exist, path: {RT}\\gone! "
                             "icon=yes topmost=yes"]),
    dict(name="missing runtime folder, trailer", copy="v2000-psa", files=["xml:{RT}\\gone"],
         registry={}, boxes=["[Error] Runtime path not exist, path: {RT}\\gone!" + SOLUTION +
                             " icon=yes topmost=yes"]),
    dict(name="runtime folder without cvvm.dll, no trailer", copy="v2000",
         files=["xml:{RT}\\empty"], registry={},
         boxes=["[Error] Load library failed! dll name: cvvm.dll, runtime path:{RT}\\empty "
                "icon=yes topmost=yes"]),
    dict(name="runtime folder without cvvm.dll, trailer", copy="v2000-psa",
         files=["xml:{RT}\\empty"], registry={},
         boxes=["[Error] The cvvm.dll file not exist, path: {RT}\\empty\\cvvm.dll!" + SOLUTION +
                " icon=yes topmost=yes"]),
    dict(name="missing system runtime library is named", copy="v2000",
         files=["xml:{RT}\\empty"], registry={},
         env={"WINEDLLOVERRIDES": "mscoree,mshtml,vcruntime140_1,msvcp140="},
         boxes=["[Error] The program can't start because VCRUNTIME140_1.dll is missing from your"
                " computer. icon=yes topmost=yes"]),
    dict(name="debug word anywhere selects the attached entry; exit code 7", copy="v2000",
         files=["xml:{RT}\\rt"], registry={},
         args=" run xCVHostAttachedDebugger", env={"STANDIN_EXIT_CODE": "7"}, exit=7,
         record={**RUN, "entry": "PD_HostAttachedTarget",
                 "arguments": "run xCVHostAttachedDebugger",
                 "PATH": "{RT}\\rt;{RT}\\rt\\x64;{PATH}"}),
    dict(name="debug word in other case does not; negative exit code", copy="v2000",
         files=["xml:{RT}\\rt"], registry={}, args="  cvhostattacheddebug",
         env={"STANDIN_EXIT_CODE": "-2"}, exit=-2,
         record={**RUN, "arguments": " cvhostattacheddebug",
                 "PATH": "{RT}\\rt;{RT}\\rt\\x64;{PATH}"}),
    dict(name="exit code beyond 8 bits", copy="v2000", files=["xml:{RT}\\rt"],
         registry={}, command_line="{EXE} a  b",
         env={"STANDIN_EXIT_CODE": "300"}, exit=300,
         record={**RUN, "arguments": "a  b", "PATH": "{RT}\\rt;{RT}\\rt\\x64;{PATH}"}),
    dict(name="entry not exported", copy="v2000", files=["noentries"], registry={}, exit=-1),
    dict(name="start-up notice for a value beginning with t", copy="v2000",
         files=["xml:{RT}\\gone"], registry={}, env={"CV_STARTUP_DEBUG": "true"},
         boxes=["[cv app stub] Start to run 64-bit app icon=no topmost=no",
                "[Error] Runtime path not exist, path: {RT}\\gone! icon=yes topmost=yes"]),
    dict(name="no start-up notice for other values", copy="v2000", files=["xml:{RT}\\gone"],
         registry={}, env={"CV_STARTUP_DEBUG": "false"},
         boxes=["[Error] Runtime path not exist, path: {RT}\\gone! icon=yes topmost=yes"]),
]


def prepare(case, copies, helpers):
    os.makedirs(case["app"])
    shutil.copy(os.path.join(copies, case["copy"], "Sales.exe"), case["app"])
    xml = os.path.join(copies, case["copy"], "Sales.xml")
    if os.path.exists(xml):
        shutil.copy(xml, case["app"])
    standin = os.path.join(helpers, "cvvm.dll")
    for item in case.get("files", []):
        beside = os.path.join(case["app"], "cvvm.dll")
        if item == "cvvm64":
            shutil.copy(standin, beside)
        elif item == "noentries":
            shutil.copy(os.path.join(helpers, "cvvm-without-entries.dll"), beside)
        elif item == "cvvm32":
            shutil.copy(I386_DLL, beside)
        elif item.startswith("xml"):
            path = "" if item == "xml-empty" else expand(item[4:], case)
            with open(os.path.join(case["app"], "Sales.xml"), "w", newline="\r\n") as f:
                f.write(f'<?xml version="1.0"?>\n<Application>\n  <RuntimePath>{path}'
                        "</RuntimePath>\n</Application>\n")


def make_runtime_folders():
    standin = os.path.join(HELPERS, "cvvm.dll")
    os.makedirs(os.path.join(RUNTIME_FOLDERS, "empty", "x64"))
    for folder in RUNTIMES:
        os.makedirs(os.path.join(RUNTIME_FOLDERS, folder, "x64"))
        shutil.copy(standin, os.path.join(RUNTIME_FOLDERS, folder, "cvvm.dll"))
        shutil.copy(standin, os.path.join(RUNTIME_FOLDERS, folder, "x64", "cvvm.dll"))


def run_case(case, copies, inherited, last_registry):
    case["dir"] = os.path.join(WORK, "cases", str(case["index"]))
    case["app"] = os.path.join(case["dir"], "app")
    case["inherited"] = inherited
    prepare(case, copies, HELPERS)
    problems = []
    registry = reg_text(case.get("registry", {}), case)
    if registry != last_registry[0]:
        reg_file = os.path.join(case["dir"], "case.reg")
        with open(reg_file, "w", newline="") as f:
            f.write(registry)
        status, output = wine(30, "reg", "import", win(reg_file))
        if status != 0:
            problems.append(f"reg import: exit {status}: {output.strip()}")
        last_registry[0] = registry
    record = os.path.join(case["dir"], "record.txt")
    env = {"STANDIN_RECORD": win(record), **case.get("env", {})}
    command_line = expand(case.get("command_line", '"{EXE}"' + case.get("args", "")), case)
    out = os.path.join(case["dir"], "probe.txt")
    status, _ = wine(30, os.path.join(HELPERS, "launcher_probe.exe"), "run", win(out),
                     command_line, env=env)
    lines = read_lines(out)
    expected_exit = case.get("exit", 0)
    expected = [f"box={escape(expand(b, case))}" for b in case.get("boxes", [])] + [
        f"exit={expected_exit}"]
    if lines != expected:
        problems.append(f"probe: {lines} != {expected}")
    # Under Wine the shell receives the exit code's low 8 bits.
    if status != expected_exit & 0xFF:
        problems.append(f"exit status {status} != {expected_exit & 0xFF}")
    want = case.get("record")
    got = read_lines(record)
    if want is None and got:
        problems.append(f"the runtime was called: {got}")
    elif want is not None:
        want_lines = [f"{k}={expand(want[k], case)}" for k in
                      ("entry", "process_module", "previous", "arguments", "show", "fifth",
                       "sixth", "PATH")]
        if got != want_lines:
            problems.append("record:\n    got  " + "\n    got  ".join(got) +
                            "\n    want " + "\n    want ".join(want_lines))
    return problems


def main():
    shutil.rmtree(WORK, ignore_errors=True)
    os.makedirs(WORK)
    failures = []
    if not I386_DLL:
        print("FAIL: no 32-bit DLL found (Debian's libwine ships i386-windows/zlib1.dll)")
        return 1
    try:
        # Message boxes need windows: scripts/wine-run makes the prefix (on this first call)
        # with Wine's null display driver, which gives windows without an X server.
        status, _ = wine(300, "reg", "query", "HKCU\\Software\\Wine\\Drivers")
        if status != 0:
            print("FAIL: cannot make the Wine prefix")
            return 1
        # One wineserver for the whole run (ended by wine-run --stop below) rather than one
        # per Wine start.
        subprocess.run(["wineserver", "-p"], stderr=subprocess.DEVNULL)
        _, lines = probe("path")
        inherited = lines[0][len("PATH="):] if lines and lines[0].startswith("PATH=") else ""
        copies, problems = make_copies()
        failures += problems
        failures += check_resources(copies)
        passed = 0 if failures else 1
        print(("ok" if not failures else "FAIL") + " - packaging and resources")
        for problem in failures:
            print("    " + problem)
        make_runtime_folders()
        last_registry = [None]
        # Cases with the same registry run one after another: one import for each registry.
        for index, case in sorted(enumerate(CASES),
                                  key=lambda c: repr(sorted(c[1].get("registry", {}).items()))):
            case["index"] = index
            problems = run_case(case, copies, inherited, last_registry)
            print(("ok" if not problems else "FAIL") + " - " + case["name"])
            for problem in problems:
                print("    " + problem)
            if problems:
                failures.append(case["name"])
            else:
                passed += 1
    finally:
        subprocess.run([WINE_RUN, "--stop"])
    print(f"{passed} passed, {len(CASES) + 1 - passed} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
