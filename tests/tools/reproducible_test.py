#!/usr/bin/env python3
"""The same sources give the same files, byte for byte.

Usage: reproducible_test.py <source-root> <cmake> <group>; exit status 77 (skipped) when
a tool the group needs is missing.
  launcher: copies the sources into two temporary folders of different path lengths (fresh
    file times) and builds the 32-bit demo launcher in each, some seconds apart; the
    launcher, its help files and every file of its product folder must match, the PE time
    stamp must be SOURCE_DATE_EPOCH, and a signed launcher with its signature removed must
    give the unsigned bytes back.
  package: stamp_package.py on small wixl packages built at different times."""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time

EPOCH = 1700000000  # a fixed SOURCE_DATE_EPOCH, the same for both builds
SKIPPED = 77


def missing(*tools):
    absent = [t for t in tools if not shutil.which(t)]
    if absent:
        print("skipped: missing " + ", ".join(absent))
    return absent


def copy_sources(root, destination):
    """The source tree without build folders or history; copies get the current time."""
    def ignore(folder, names):
        top = os.path.samefile(folder, root)
        return [n for n in names if n in ("__pycache__", ".git") or (top and n == "build")]
    shutil.copytree(root, destination, ignore=ignore, copy_function=shutil.copy)


def build_launcher(root, cmake, folder, arch="i686"):
    source, build = os.path.join(folder, "src"), os.path.join(folder, "b")
    copy_sources(root, source)
    # The time is given where a release gives it, at configure time; the build itself runs
    # without it, so a tool that reads the clock shows.
    plain = {k: v for k, v in os.environ.items() if k != "SOURCE_DATE_EPOCH"}
    subprocess.run([cmake, "-S", source, "-B", build, "-DCMAKE_BUILD_TYPE=Release",
                    "-DCMAKE_COMPILE_WARNING_AS_ERROR=ON",
                    f"-DCMAKE_TOOLCHAIN_FILE={source}/cmake/toolchain-mingw-{arch}.cmake"],
                   env=dict(plain, SOURCE_DATE_EPOCH=str(EPOCH)), check=True, stdout=subprocess.DEVNULL)
    # Only the one launcher and what it embeds: the libraries, programs, package and help.
    subprocess.run(["nice", "-n", "10", cmake, "--build", build, "-j2", "--target", "setup_demo"],
                   env=plain, check=True, stdout=subprocess.DEVNULL)
    return build


def built_files(build):
    files = {}
    for top in ("products/demo", "examples/demo/product"):
        for folder, _, names in os.walk(os.path.join(build, top)):
            for name in names:
                path = os.path.join(folder, name)
                with open(path, "rb") as f:
                    files[os.path.relpath(path, build)] = f.read()
    return files


def differences(a, b):
    """One line per file that is not the same in both builds."""
    lines = [f"{name}: only in one build" for name in sorted(set(a) ^ set(b))]
    for name in sorted(set(a) & set(b)):
        x, y = a[name], b[name]
        if x != y:
            offsets = [i for i in range(min(len(x), len(y))) if x[i] != y[i]]
            lines.append(f"{name}: {len(x)} and {len(y)} bytes, {len(offsets)} differ, first at "
                         f"{offsets[:8]}")
    return lines


def pe_time_stamp(data):
    return struct.unpack_from("<I", data, struct.unpack_from("<I", data, 0x3C)[0] + 8)[0]


def signing_round_trip(root, launcher, work):
    """Signs a copy with a throw-away certificate and removes the signature again."""
    key, cert, p12, password = (os.path.join(work, n) for n in ("key.pem", "cert.pem", "signer.p12", "password"))
    with open(password, "w") as f:
        f.write("throw-away")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert,
                    "-days", "2", "-subj", "/CN=Reproducible test signer"], check=True, capture_output=True)
    subprocess.run(["openssl", "pkcs12", "-export", "-inkey", key, "-in", cert, "-out", p12,
                    "-passout", f"file:{password}"], check=True, capture_output=True)
    signed, unsigned = os.path.join(work, "signed.exe"), os.path.join(work, "unsigned.exe")
    shutil.copy(launcher, signed)
    subprocess.run([os.path.join(root, "tools", "sign-setup.sh"), signed, p12, "--password-file", password],
                   check=True, capture_output=True)
    subprocess.run(["osslsigncode", "remove-signature", "-in", signed, "-out", unsigned], check=True,
                   capture_output=True)
    with open(launcher, "rb") as f, open(signed, "rb") as g, open(unsigned, "rb") as h:
        original, signed_bytes, back = f.read(), g.read(), h.read()
    failures = []
    if signed_bytes == original:
        failures.append("signing left the launcher unchanged")
    if back != original:
        failures.append("the launcher with its signature removed is not the unsigned one: "
                        + "; ".join(differences({"setup.exe": original}, {"setup.exe": back})))
    return failures


def launcher(root, cmake):
    if missing("i686-w64-mingw32-g++", "wixl", "chmcmd", "openssl", "osslsigncode"):
        return SKIPPED
    started = time.monotonic()
    with tempfile.TemporaryDirectory(prefix="r") as short, \
            tempfile.TemporaryDirectory(prefix="reproducible-launcher-second-build-") as long_:
        first = built_files(build_launcher(root, cmake, short))
        time.sleep(max(0.0, 2.5 - (time.monotonic() - started)))
        second = built_files(build_launcher(root, cmake, long_))
        failures = differences(first, second)
        exe = first.get("products/demo/setup.exe")
        if exe is None:
            failures.append("no products/demo/setup.exe")
        else:
            if pe_time_stamp(exe) != EPOCH:
                failures.append(f"setup.exe is stamped {pe_time_stamp(exe)}, not SOURCE_DATE_EPOCH {EPOCH}")
            failures += signing_round_trip(root, os.path.join(long_, "b", "products/demo/setup.exe"), long_)
    for line in failures:
        print("FAIL " + line)
    print(f"{len(first)} files compared in {time.monotonic() - started:.0f} s")
    return 1 if failures else 0


TINY_PACKAGE = """<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="9D7E0E4B-3E0C-4C55-9E5D-5A0D6E1C2B11" Name="Tiny" Language="1033" Codepage="1252"
           Version="1.0.0" Manufacturer="Test" UpgradeCode="9D7E0E4B-3E0C-4C55-9E5D-5A0D6E1C2B12">
    <Package InstallerVersion="200" Compressed="yes" InstallScope="perMachine" Description="tiny" />
    <Media Id="1" Cabinet="tiny.cab" EmbedCab="yes" />
    <Directory Id="TARGETDIR" Name="SourceDir"><Directory Id="ProgramFilesFolder">
      <Directory Id="INSTALLDIR" Name="Tiny">
        <Component Id="C" Guid="9D7E0E4B-3E0C-4C55-9E5D-5A0D6E1C2B13">
          <File Id="F" Name="a.txt" Source="a.txt" KeyPath="yes" />
        </Component>
      </Directory></Directory></Directory>
    <Feature Id="Main" Level="1"><ComponentRef Id="C" /></Feature>
  </Product>
</Wix>
"""

# (case, text of the packaged file, its modification time, whether the package is the
# reference one): a package of the same content gets the same bytes and package code,
# whatever the file's time; another content another code.
PACKAGES = [
    ("reference", "hello\n", 1000000000, True),
    ("same content, other file time", "hello\n", 1600000000, True),
    ("other content", "hello, world\n", 1000000000, False),
]


def package(root):
    if missing("wixl"):
        return SKIPPED
    sys.path.insert(0, os.path.join(root, "examples", "demo", "wix"))
    import compound_file
    import stamp_package as sp
    os.environ["SOURCE_DATE_EPOCH"] = str(EPOCH)
    built = {}
    with tempfile.TemporaryDirectory() as work:
        with open(os.path.join(work, "tiny.wxs"), "w") as f:
            f.write(TINY_PACKAGE)
        for case, text, mtime, _ in PACKAGES:
            with open(os.path.join(work, "a.txt"), "w") as f:
                f.write(text)
            os.utime(os.path.join(work, "a.txt"), (mtime, mtime))
            time.sleep(1.1)  # wixl's clock moves on between packages
            subprocess.run(["wixl", "-o", "tiny.msi", "tiny.wxs"], cwd=work, check=True, capture_output=True)
            subprocess.run([sys.executable, os.path.join(root, "examples/demo/wix/stamp_package.py"), "tiny.msi"],
                           cwd=work, check=True)
            with open(os.path.join(work, "tiny.msi"), "rb") as f:
                data = f.read()
            summary = next(c.data for c in compound_file.read(data).children if c.name == sp.SUMMARY)
            built[case] = data, sp._properties(summary)
    failures = []
    reference, reference_props = built["reference"]
    epoch_ticks = struct.pack("<Q", 116444736000000000 + EPOCH * 10000000)
    for case, _, _, same in PACKAGES:
        data, props = built[case]
        if {props[sp.PID_CREATE_DTM][1], props[sp.PID_LASTSAVE_DTM][1]} != {epoch_ticks}:
            failures.append(f"{case}: created/saved times are not SOURCE_DATE_EPOCH")
        if same and data != reference:
            failures.append(f"{case}: not the reference package's bytes")
        if not same and props[sp.PID_REVNUMBER] == reference_props[sp.PID_REVNUMBER]:
            failures.append(f"{case}: another package with the reference's package code")
    for line in failures:
        print("FAIL " + line)
    return 1 if failures else 0


def main(argv):
    if len(argv) != 4 or argv[3] not in ("launcher", "package"):
        sys.exit(__doc__)
    root, cmake, group = argv[1:]
    return launcher(root, cmake) if group == "launcher" else package(root)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
