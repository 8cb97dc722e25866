#!/usr/bin/env python3
"""Installs the demo package under Wine and checks what the launcher relies on.

In a scratch 64-bit prefix: a per-machine install with the properties the launcher passes
(files, registry in the 32-bit view, feature and component states as msi.dll reports them),
adding the declined videos later, removal, a per-user install, and the stand-in runtime
installers (registry views, exit codes, the runtime loader's version).

usage: check_wine.py PRODUCT_DIR MSI_QUERY_EXE [--standins DIR] [--wine PATH] [--keep]
  --standins  folder with the stand-in installers to run (default: PRODUCT_DIR); for a Wine
              without 32-bit support, pass 64-bit builds of them and of msi_query.
  SETUP_WINE_TEMPLATE=<prefix> copies that prefix instead of creating a new one.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

sys.dont_write_bytecode = True  # keep the source tree free of __pycache__
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from check_product import file_version_strings  # noqa: E402

INSTALLSTATE = {"unknown": -1, "absent": 2, "local": 3, "default": 5}
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL:", message)
    return condition


class Wine:
    def __init__(self, wine, prefix):
        self.wine = wine
        self.prefix = prefix
        self.env = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=")

    def run(self, *args, env=None, timeout=300):
        merged = dict(self.env, **(env or {}))
        return subprocess.run([self.wine, *args], env=merged, capture_output=True, text=True,
                              errors="replace", timeout=timeout)

    def exit_code(self, program, *args, env=None):
        """The program's full exit code (a Unix exit status keeps only the low byte)."""
        line = " ".join(f'"{a}"' if " " in a else a for a in (program, *args))
        out = self.run("cmd", "/c", f"{line} & echo EXIT=%errorlevel%", env=env).stdout
        for text in out.splitlines():
            if text.startswith("EXIT="):
                return int(text[5:])
        return None

    def msiexec(self, *args):
        return self.run("msiexec", *args).returncode

    def reg(self, key, name, view=32):
        """A registry value as reg.exe prints it, or None when the key or value is missing."""
        result = self.run("reg", "query", key, "/v", name, f"/reg:{view}")
        for text in result.stdout.splitlines():
            parts = text.strip().split(None, 2)
            if len(parts) >= 2 and parts[0] == name and parts[1].startswith("REG_"):
                return parts[2] if len(parts) == 3 else ""
        return None

    def unix(self, windows_path):
        return os.path.join(self.prefix, "drive_c", windows_path[3:].replace("\\", "/"))

    def _wineserver(self, *args):
        server = os.path.join(os.path.dirname(os.path.realpath(self.wine)), "wineserver")
        return subprocess.Popen([server, *args], env=self.env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)

    def keep_alive(self):
        # One wineserver for the whole run saves a cold start per Wine call. The prefix's
        # background processes start with the first program; start them here without our
        # output pipes, or they would hold every later captured call open.
        self._wineserver("-p").wait()
        subprocess.run([self.wine, "wineboot"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=300)

    def stop(self):
        self._wineserver("-k").wait()


def find_wine(requested):
    # Debian's "wine" script needs the 32-bit loader; where that cannot run, even
    # "wine --version" fails, and wine64 is the one to use.
    candidates = [requested] if requested else ["wine", "wine64", "/usr/lib/wine/wine64"]
    for candidate in candidates:
        path = shutil.which(candidate) or (candidate if os.path.isfile(candidate) else None)
        if path and subprocess.run([path, "--version"], capture_output=True).returncode == 0:
            return path
    sys.exit("no working wine found (tried: " + ", ".join(candidates) + ")")


def make_prefix(wine):
    prefix = tempfile.mkdtemp(prefix="demo-wine-")
    template = os.environ.get("SETUP_WINE_TEMPLATE")
    if template:
        shutil.rmtree(prefix)
        shutil.copytree(template, prefix, symlinks=True)
    else:
        w = Wine(wine, prefix)
        w.env["WINEARCH"] = "win64"
        w.run("wineboot", "-i")
    return Wine(wine, prefix)


def settings_values(product):
    root = ET.parse(os.path.join(product, "settings.xml")).getroot()
    main = root.find("msi/output").get("main-package")
    package = next(p for p in root.iterfind("msi/package") if p.get("language") == main)
    defines = {d.get("var-name"): d.get("value") for d in package.iterfind("defines/define")}
    return {
        "guid": "{" + root.findtext("product/guid").strip() + "}",
        "component": "{" + defines["BIN_DIR_Guid"] + "}",
        "regkey": "HKLM\\" + defines["ProdIdRegKey"],
        "userkey": "HKCU\\" + defines["ProdIdRegKey"],
        "folder": "C:\\Program Files (x86)\\" + defines["MainExeDir"] + "\\",
        "exe": root.findtext("bootstrapper/start-application-on-stick"),
        "msi": root.find("msi/output").get("file"),
        "net20": [root.find(f"dot-net20-framework/resource/{b}").get("source-file") for b in ("Bit32", "Bit64")],
        "net40": root.find("dot-net40-client-framework/resource").get("source-file"),
    }


def check_package(w, product, query, s):
    msi = os.path.join(product, s["msi"])
    state = lambda *args: w.run(query, *args).stdout.strip()  # noqa: E731

    # What the launcher passes on a first installation with the videos declined.
    code = w.msiexec("/i", msi, "/qn", "LANGUAGE=de", "NOVIDEOS=1", "CTDIR=C:\\Circuits",
                     "SETUPDIR=C:\\medium\\setup.exe", "REINSTALLMODE=amus")
    check(code == 0, f"per-machine install: msiexec exit code {code}")
    check(state("product", s["guid"]) == "5", "product state after install is not 5")
    for feature, expected in (("Main", 3), ("Presentations", 3), ("Videos", 2), ("Nothing", -1)):
        got = state("feature", s["guid"], feature)
        check(got == str(expected), f"feature {feature}: state {got}, expected {expected}")
    comp_state, _, comp_path = state("component", s["guid"], s["component"]).partition("\t")
    check(comp_state == "3" and comp_path.lower() == (s["folder"] + "bin\\" + s["exe"]).lower(),
          f"main program component: {comp_state} {comp_path}")
    for relative, present in (("bin\\" + s["exe"], True), ("bin\\Pelaxo5.exe", True),
                              ("tuto\\et\\index.txt", True), ("presentations\\overview.txt", True),
                              ("videos\\intro.txt", False)):
        check(os.path.isfile(w.unix(s["folder"] + relative)) == present,
              f"{relative} {'missing' if present else 'installed though declined'}")
    for name, expected in (("INST_DIR", s["folder"]), ("EXE_DIR", s["folder"] + "bin\\"),
                           ("LANGUAGE", "de"), ("SETUPDIR", "C:\\medium\\setup.exe")):
        got = w.reg(s["regkey"], name, 32)
        check(got is not None and got.lower() == expected.lower(), f"HKLM {name} = {got!r}, expected {expected!r}")
    check(w.reg(s["regkey"], "INST_DIR", 64) is None, "product key leaked into the 64-bit view")
    check(w.reg(s["userkey"], "CT_DIR") == "C:\\Circuits", "HKCU CT_DIR not written")
    check("Circuita.Circuit" in w.run("reg", "query", "HKLM\\SOFTWARE\\Classes\\.circ", "/reg:32").stdout,
          ".circ document type not registered")
    uninstall = f"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{s['guid']}"
    check(w.reg(uninstall, "Version", 32) is not None, "uninstall key without Version in the 32-bit view")

    # The launcher adds declined features later with ADDLOCAL.
    code = w.msiexec("/i", msi, "/qn", "ADDLOCAL=Videos", "REINSTALLMODE=vamus")
    check(code == 0, f"adding Videos: msiexec exit code {code}")
    check(state("feature", s["guid"], "Videos") == "3", "Videos not local after ADDLOCAL")
    check(os.path.isfile(w.unix(s["folder"] + "videos\\intro.txt")), "video files missing after ADDLOCAL")

    code = w.msiexec("/x", s["guid"], "/qn")
    check(code == 0, f"removal: msiexec exit code {code}")
    check(state("product", s["guid"]) == "-1", "product still known after removal")
    check(not os.path.exists(w.unix(s["folder"] + "bin\\" + s["exe"])), "program left behind after removal")
    check(w.reg(s["regkey"], "INST_DIR", 32) is None, "product key left behind after removal")

    # ALLUSERS="" (the launcher's per-user choice): the product key goes to HKCU.
    code = w.msiexec("/i", msi, "/qn", "ALLUSERS=", "LANGUAGE=en")
    check(code == 0, f"per-user install: msiexec exit code {code}")
    check(w.reg(s["userkey"], "LANGUAGE") == "en", "per-user install: HKCU LANGUAGE missing")
    check(w.reg(s["regkey"], "LANGUAGE", 32) is None, "per-user install wrote HKLM")
    w.msiexec("/x", s["guid"], "/qn")


def check_standins(w, standins, s):
    ndp20 = "HKLM\\SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v2.0.50727"
    x86, x64 = (os.path.join(standins, name) for name in s["net20"])

    code = w.exit_code(x86, "/q", env={"SETUP_STANDIN_EXIT": "1603"})
    check(code == 1603, f"failing stand-in returned {code}")
    check(w.reg(ndp20, "Install", 32) is None, "failing stand-in still registered the runtime")

    code = w.exit_code(x86, "/q", "/norestart", "/exitcode:3010", env={"SETUP_STANDIN_EXIT": "5"})
    check(code == 3010, f"/exitcode:3010 gave {code}")
    check(w.reg(ndp20, "Install", 32) == "0x1" and w.reg(ndp20, "SP", 32) == "0x2"
          and w.reg(ndp20, "Version", 32) == "2.0.50727.4927", "x86 stand-in: 32-bit view values")
    check(w.reg(ndp20, "Install", 64) is None, "x86 stand-in wrote the 64-bit view")
    loaders = [w.unix("C:\\windows\\" + d + "\\mscoree.dll") for d in ("syswow64", "system32")]
    versions = [file_version_strings(p)[0] for p in loaders if os.path.isfile(p)]
    check("2.0.50727.4927" in versions, f"runtime loader versions after the stand-in: {versions}")

    code = w.exit_code(x64, "/q")
    check(code == 0, f"x64 stand-in returned {code}")
    check(w.reg(ndp20, "SP", 64) == "0x2", "x64 stand-in: 64-bit view not written")

    code = w.exit_code(os.path.join(standins, s["net40"]), "/q")
    ndp40 = "HKLM\\SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v4\\Client"
    check(code == 0 and w.reg(ndp40, "Install", 32) == "0x1", "4.0 stand-in: not registered")


def main():
    parser = argparse.ArgumentParser(usage=__doc__)
    parser.add_argument("product")
    parser.add_argument("msi_query")
    parser.add_argument("--standins")
    parser.add_argument("--wine")
    parser.add_argument("--keep", action="store_true")
    args = parser.parse_args()

    wine = find_wine(args.wine)
    w = make_prefix(wine)
    print(f"check_wine: {wine}, prefix {w.prefix}")
    try:
        w.keep_alive()
        if w.run(args.msi_query).returncode != 2:
            sys.exit("msi_query does not start under this Wine; a Wine without 32-bit support "
                     "needs 64-bit builds (see --standins)")
        s = settings_values(args.product)
        check_package(w, args.product, args.msi_query, s)
        check_standins(w, args.standins or args.product, s)
    finally:
        w.stop()
        if not args.keep:
            shutil.rmtree(w.prefix, ignore_errors=True)
    print(f"check_wine: {len(failures)} failure(s)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
