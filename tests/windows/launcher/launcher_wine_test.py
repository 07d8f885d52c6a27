#!/usr/bin/python3
"""The Windows launcher under Wine, end to end.

Application copies are made with package-app.exe (string 1005 through the resource-update API),
the registry is written by importing .reg files, and each case is started by launcher_probe.exe,
which reads and closes every message box and reports the exit code as the launcher returned it.
The stand-in runtime (cvvm.dll) records its six arguments and PATH. The scenarios are those of
tests/launcher/scenarios.json, which the Linux tests run too, and a few of Windows's own below.
Every Wine call goes through scripts/wine-run with a time limit.

Usage: launcher_wine_test.py BUILD_WINDOWS_DIR HELPERS_DIR
"""
import glob
import json
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
    # A string table whose block holds another string but not 1005.
    os.makedirs(os.path.join(copies, "other-string-only"))
    other = os.path.join(copies, "other-string-only", "Sales.exe")
    shutil.copy(launcher, other)
    status, lines = probe("string-block", win(other), "1006", "22.0.0.2000")
    if status != 0:
        failures.append(f"string-block: {lines}")
    # One copy for each packaging the scenarios name: "package" over the launcher as built, or
    # over a copy packaged with "repackage" first; no options: the launcher as built.
    names = {}
    for case in CASES:
        if "copy" in case:
            continue
        steps = [[expand(option, case) for option in case[key]]
                 for key in ("repackage", "package") if key in case]
        if repr(steps) in names:
            case["copy"] = names[repr(steps)]
            continue
        name = case["copy"] = names[repr(steps)] = f"copy-{len(names)}"
        if steps == [[]]:
            os.makedirs(os.path.join(copies, name))
            shutil.copy(launcher, os.path.join(copies, name, "Sales.exe"))
            continue
        source = launcher
        for number, options in enumerate(steps):
            source = package(name if number == len(steps) - 1 else name + "-first", source,
                             options)
    # What package-app.exe refuses: exit code 1 for what cannot be written, 2 for usage; and
    # a second packaging onto an existing copy, which replaces it (exit code 0; its resources
    # are checked below).
    not_an_image = os.path.join(copies, "not-an-image.exe")
    repackaged = os.path.join(copies, "c.exe")
    with open(not_an_image, "w") as f:
        f.write("text\n")
    for options, expected in (
            (["--launcher", win(launcher), "--output", win(os.path.join(copies, "no", "a.exe"))],
             1),
            (["--launcher", win(not_an_image), "--output", win(os.path.join(copies, "b.exe")),
              "--version", "22.0.0.2000"], 1),
            (["--launcher", win(launcher), "--output", win(os.path.join(copies, "c.exe")),
              "--version", "22.0.0.2100"], 0),
            (["--launcher", win(launcher), "--output", win(os.path.join(copies, "d.exe")),
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
                         (os.path.join(copies, "c.exe"),
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
    """A text of the table with Windows's names: backslashes for slashes, the placeholders
    {RT} (runtime folders), {APP} (the launcher's folder as it names it in PATH), {EXE},
    {INHERITED} (the PATH every Wine program inherits), {LIB} and {SYSLIB}."""
    app = win(case["app"]) if "app" in case else ""
    return (text.replace("/", "\\").replace("{RT}", win(RUNTIME_FOLDERS))
            .replace("{APP}", app + "\\Sales.exe\\..").replace("{EXE}", app + "\\Sales.exe")
            .replace("{INHERITED}", case.get("inherited", "")).replace("{LIB}", "cvvm.dll")
            .replace("{SYSLIB}", "VCRUNTIME140_1.dll"))


def escape(text):
    """A message text as the probe writes it: backslash, CR and LF escaped."""
    return text.replace("\\", "\\\\").replace("\r", "\\r").replace("\n", "\\n")


# Runtime folders shared by every case (so that cases with the same registry share one
# import): each holds the stand-in in the folder and in x64, except "empty" (x64 only) and
# "broken" (a text file as cvvm.dll); "gone" is never made.
RUNTIME_FOLDERS = os.path.join(WORK, "runtimes")
RUNTIMES = ["rt", "rt1900", "rt2100", "rt2300"]
RT = ["{RT}/rt", "{RT}/rt/x64", "{INHERITED}"]
with open(os.path.join(ROOT, "tests", "launcher", "scenarios.json"), encoding="utf-8") as table:
    CASES = json.load(table)["scenarios"]
# Windows's own: a string block without string 1005, and command lines as written rather than
# built from arguments ("copy" names a copy made in make_copies).
CASES += [
    dict(name="an empty string 1005 beside another string counts as absent",
         copy="other-string-only",
         registry={"versions": "22.0.0.1900,22.0.0.2100,22.0.0.2300,",
                   "runtimes": {"22.0.0.1900": "{RT}/rt1900", "22.0.0.2100": "{RT}/rt2100",
                                "22.0.0.2300": "{RT}/rt2300"}},
         received={"path": ["{RT}/rt1900/x64", "{INHERITED}"]}),
    dict(name="command line as written: the debug word in other case does not count", package=[],
         files=["xml:{RT}/rt"], command_line='"{EXE}"  cvhostattacheddebug', runtime_exit=-2,
         exit=-2, received={"arguments": " cvhostattacheddebug", "path": RT}),
    dict(name="command line as written: unquoted program path; exit code beyond 8 bits", package=[], files=["xml:{RT}/rt"],
         command_line="{EXE} a  b", runtime_exit=300, exit=300,
         received={"arguments": "a  b", "path": RT}),
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
        if item == "lib64":
            shutil.copy(standin, beside)
        elif item == "noentries":
            shutil.copy(os.path.join(helpers, "cvvm-without-entries.dll"), beside)
        elif item == "lib32":
            shutil.copy(I386_DLL, beside)
        elif item.startswith("xml:"):
            path = expand(item[4:], case)
            with open(os.path.join(case["app"], "Sales.xml"), "w", newline="\r\n") as f:
                f.write(f'<?xml version="1.0"?>\n<Application>\n  <RuntimePath>{path}'
                        "</RuntimePath>\n</Application>\n")


def make_runtime_folders():
    standin = os.path.join(HELPERS, "cvvm.dll")
    os.makedirs(os.path.join(RUNTIME_FOLDERS, "empty", "x64"))
    os.makedirs(os.path.join(RUNTIME_FOLDERS, "broken"))
    with open(os.path.join(RUNTIME_FOLDERS, "broken", "cvvm.dll"), "w") as f:
        f.write("not a library\n")
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
    command_line = expand(case.get("command_line", '"{EXE}"'), case) + "".join(
        " " + subprocess.list2cmdline([argument]) for argument in case.get("args", []))
    expected_exit = case.get("exit", 0)
    expected = [f"box={escape(expand(b, case))} " +
                ("icon=yes topmost=yes" if b.startswith("[Error]") else "icon=no topmost=no")
                for b in case.get("boxes", [])] + [f"exit={expected_exit}"]
    want = []
    if "received" in case:
        received = case["received"]
        want = [f"entry={received.get('entry', 'FN_RunExecutable')}", "process_module=yes",
                "previous=null", f"arguments={received.get('arguments', '')}", "show=7",
                "fifth=1000", "sixth=0",
                "PATH=" + ";".join(expand(entry, case) for entry in received["path"])]
    env = {"STANDIN_EXIT_CODE": str(case.get("runtime_exit", 0))}
    if case.get("missing_system_library"):
        env["WINEDLLOVERRIDES"] = "mscoree,mshtml,vcruntime140_1,msvcp140="
    # A variable given a list of values runs the case once for each.
    runs = [{}]
    for name, values in case.get("env", {}).items():
        runs = [{name: value} for value in (values if isinstance(values, list) else [values])]
    for number, variables in enumerate(runs):
        label = "".join(f"{name}={value}: " for name, value in variables.items())
        record = os.path.join(case["dir"], f"record{number}.txt")
        out = os.path.join(case["dir"], f"probe{number}.txt")
        status, _ = wine(30, os.path.join(HELPERS, "launcher_probe.exe"), "run", win(out),
                         command_line, env={**env, **variables, "STANDIN_RECORD": win(record)})
        lines = read_lines(out)
        if lines != expected:
            problems.append(f"{label}probe: {lines} != {expected}")
        # Under Wine the shell receives the exit code's low 8 bits.
        if status != expected_exit & 0xFF:
            problems.append(f"{label}exit status {status} != {expected_exit & 0xFF}")
        got = read_lines(record)
        if got != want:
            problems.append(label + "record:\n    got  " + "\n    got  ".join(got) +
                            "\n    want " + "\n    want ".join(want))
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
