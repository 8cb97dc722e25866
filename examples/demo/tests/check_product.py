#!/usr/bin/env python3
"""Checks the demo product folder and the settings variants without running Windows code.

What it guards: the settings documents stay readable by the launcher and use the whole
schema; each variant switches on what its name promises and nothing else; the package,
runtimes, help files and medium layout in the product folder match what the settings name.

usage: check_product.py PRODUCT_DIR VARIANTS_DIR VERSION
"""
import os
import re
import struct
import sys
import xml.etree.ElementTree as ET

sys.dont_write_bytecode = True  # keep the source tree free of __pycache__
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "wix"))
sys.path.insert(0, os.path.join(HERE, "..", "help"))
from msi_tables import Database  # noqa: E402
from help_texts import HELP  # noqa: E402

LANGUAGE_CODES = ("de-de", "en-us", "es-es", "fr-fr", "it-it", "cs-cz")
DEFINES = ("MainExeDir", "BIN_DIR_Guid", "ProdIdRegKey", "ShortcutNamePdf", "ShortcutTargetPdf",
           "StartMenuDir", "ShortcutNameApp", "ShortcutNameAppTechSelect")
HELP_TOPICS = {1, 49, 50, 51, 52, 53, 54, 55, 56, 57}

# Every element and attribute the launcher reads (the technology element is ours to name).
SCHEMA = [
    ("product", ["demo-version"]), ("product/name", []), ("product/shortname", []),
    ("product/identifier", []),
    ("product/guid", ["pelaxo5-e-guid", "pelaxo5-h-guid", "pelaxo5-p-guid"]),
    ("bootstrapper", ["external-msi", "additional-internal-msi", "preconfig-setup",
                      "circuit-folder-dialog", "kill-rla-client", "pelaxo-togo", "min-os-version"]),
    ("bootstrapper/languages/language", ["app-parameter", "help-file", "circuit-dir"]),
    ("bootstrapper/application-dir-relative", []),
    ("bootstrapper/start-application-on-stick", []),
    ("bootstrapper/link-installation-only/bin-dir", []),
    ("bootstrapper/link-installation-only/program-dir", []),
    ("bootstrapper/link-installation-only/regentry-installdir", ["subkey", "value-name"]),
    ("bootstrapper/link-installation-only/regentry-icon", ["subkey"]),
    ("bootstrapper/link-installation-only/regentry-open", ["subkey"]),
    ("technology", ["domain"]),
    ("dot-net20-framework/resource/Bit64", ["source-file", "id"]),
    ("dot-net20-framework/resource/Bit32", ["source-file", "id"]),
    ("dot-net40-client-framework/resource", ["source-file", "id"]),
    ("msi", ["admin-required", "ask-for-videos", "videos-size", "video-cab-file1",
             "video-cab-file2", "ask-for-presentations", "presentations-size",
             "presentations-cab-file1", "ask-for-didactic-material-download",
             "didactic-material-cab-files", "didactic-material-url", "media2-url"]),
    ("msi/package", ["language"]), ("msi/package/defines/define", ["var-name", "value"]),
    ("msi/output", ["file", "resource-id", "main-package"]),
    ("thumbex", []), ("update", ["url", "target"]),
]

# What each variant changes in the launcher's view of the base document; nothing else may differ.
VARIANT_CHANGES = {
    "pelaxo5": {"isPelaxo5": True},
    "pelaxo4": {"isPelaxo4": True},
    "pelaxo4-hyd": {"isPelaxo4": True, "technologyDomain": "hyd"},
    "preconfig": {"preconfigSetup": True},
    "pelaxo5-preconfig": {"isPelaxo5": True, "preconfigSetup": True},
    "togo": {"toGoEdition": True},
    "external-msi": {"useExternalMsi": True, "additionalInternalMsi": True},
    "no-update": {"updateConfigured": False, "updateUrl": None},
    "no-thumbex": {"installThumbnailExtension": False},
    "net40-medium": {"dotNet40ResourceId": ""},
    "no-runtimes": {"needsDotNet20": False, "needsDotNet40Client": False,
                    "dotNet20Files": None, "dotNet40ResourceId": None},
}

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def launcher_view(root):
    """The settings as the launcher's reader turns them into flags (derived ones included)."""
    boot = root.find("bootstrapper")
    flag = lambda element, name: element is not None and element.get(name) == "true"  # noqa: E731
    technology = root.find("technology")
    net20 = root.find("dot-net20-framework/resource")
    net40 = root.find("dot-net40-client-framework/resource")
    update = root.find("update")
    view = {
        "demoVersion": flag(root.find("product"), "demo-version"),
        "useExternalMsi": flag(boot, "external-msi"),
        "additionalInternalMsi": flag(boot, "additional-internal-msi"),
        "preconfigSetup": flag(boot, "preconfig-setup"),
        "circuitFolderDialog": flag(boot, "circuit-folder-dialog"),
        "killZirOveriz": flag(boot, "kill-rla-client"),
        "toGoEdition": flag(boot, "pelaxo-togo"),
        "technologyDomain": technology.get("domain", "") if technology is not None else "",
        "needsDotNet20": root.find("dot-net20-framework") is not None,
        "dotNet20Files": None if net20 is None else tuple(
            (net20.find(b).get("source-file"), net20.find(b).get("id")) for b in ("Bit32", "Bit64")),
        "needsDotNet40Client": root.find("dot-net40-client-framework") is not None,
        "dotNet40ResourceId": None if net40 is None else net40.get("id"),
        "installThumbnailExtension": root.find("thumbex") is not None,
        "updateConfigured": update is not None,
        "updateUrl": None if update is None else update.get("url"),
    }
    start = boot.findtext("start-application-on-stick")
    view["isPelaxo5"] = start.lower() == "pelaxo5.exe"
    view["isPelaxo4"] = not view["isPelaxo5"] and "Pelaxo" in (root.findtext("product/shortname") or "")
    return view


def check_readable(path):
    """Constructs our reader rejects or misreads, and the items whose absence is an error."""
    name = os.path.basename(path)
    raw = open(path, "rb").read()
    try:
        text = raw.decode("utf-8")
    except UnicodeDecodeError as e:
        check(False, f"{name}: not UTF-8: {e}")
        return None
    body = re.sub(r"<\?.*?\?>|<!--.*?-->", "", text, flags=re.S)
    check("&#" not in body and "&apos;" not in body, f"{name}: entity the reader does not know")
    check("<![CDATA[" not in body, f"{name}: CDATA section")
    check(not re.search(r"=\s*'", body), f"{name}: single-quoted attribute")
    root = ET.fromstring(raw)
    check(root.tag == "installer", f"{name}: root element is {root.tag}")
    for path_, attributes in (("product/name", []), ("product/guid", []),
                              ("bootstrapper/languages", []),
                              ("bootstrapper/application-dir-relative", []),
                              ("bootstrapper/start-application-on-stick", []),
                              ("bootstrapper/link-installation-only/regentry-installdir",
                               ["subkey", "value-name"]),
                              ("bootstrapper/link-installation-only/regentry-icon", ["subkey"]),
                              ("bootstrapper/link-installation-only/regentry-open", ["subkey"]),
                              ("msi/output", ["file", "resource-id", "main-package"])):
        element = root.find(path_)
        if check(element is not None, f"{name}: required {path_} missing"):
            for attribute in attributes:
                check(attribute in element.attrib, f"{name}: {path_} lacks {attribute}")
    codes = [e.text for e in root.iterfind("bootstrapper/languages/language")]
    codes += [e.get("language") for e in root.iterfind("msi/package")]
    codes.append(root.find("msi/output").get("main-package"))
    for code in codes:
        check(code in LANGUAGE_CODES, f"{name}: language code {code!r} unknown to the reader")
    return root


def check_base(root):
    for path, attributes in SCHEMA:
        element = root.find(path)
        if check(element is not None, f"settings.xml: {path} missing"):
            for attribute in attributes:
                check(attribute in element.attrib, f"settings.xml: {path} lacks {attribute}")
    offered = [e.text for e in root.iterfind("bootstrapper/languages/language")]
    check({"de-de", "en-us"} <= set(offered), "settings.xml: German and English not both offered")
    packages = {p.get("language"): p for p in root.iterfind("msi/package")}
    check(set(packages) == set(offered), "settings.xml: packages differ from offered languages")
    for language, package in packages.items():
        names = [d.get("var-name") for d in package.iterfind("defines/define")]
        check(sorted(names) == sorted(DEFINES), f"settings.xml: {language} defines are {names}")
    view = launcher_view(root)
    for key in ("isPelaxo5", "isPelaxo4", "useExternalMsi", "preconfigSetup", "toGoEdition"):
        check(view[key] is False, f"settings.xml: {key} should be off in the base product")
    check(root.find("bootstrapper").get("min-os-version") == "51", "settings.xml: min-os-version")


def check_variants(base_root, variants_dir):
    files = sorted(f[:-4] for f in os.listdir(variants_dir) if f.endswith(".xml"))
    check(files == sorted(VARIANT_CHANGES), f"variants: found {files}, expected {sorted(VARIANT_CHANGES)}")
    base_view = launcher_view(base_root)
    for name in files:
        root = check_readable(os.path.join(variants_dir, name + ".xml"))
        if root is None:
            continue
        view = launcher_view(root)
        expected = dict(base_view, **VARIANT_CHANGES.get(name, {}))
        for key in expected:
            check(view[key] == expected[key],
                  f"variant {name}: {key} is {view[key]!r}, expected {expected[key]!r}")
        # Same product folder: the package and runtime names must not move.
        check(root.find("msi/output").get("file") == base_root.find("msi/output").get("file"),
              f"variant {name}: package file name differs")


def file_version_strings(path):
    data = open(path, "rb").read()
    at = data.find(struct.pack("<I", 0xFEEF04BD))
    if at < 0:
        return None, None
    ms, ls = struct.unpack_from("<II", data, at + 8)
    fixed = f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"
    strings = {}
    for key in ("FileVersion", "ProductVersion"):
        k = data.find((key + "\0").encode("utf-16le"), at)
        if k < 0:
            continue
        v = k + len(key) * 2 + 2
        while data[v:v + 2] == b"\0\0":
            v += 2
        end = data.find(b"\0\0", v)
        while end > 0 and (end - v) % 2:
            end = data.find(b"\0\0", end + 1)
        strings[key] = data[v:end].decode("utf-16le")
    return fixed, strings


def check_product_dir(product, root, version):
    def exists(relative):
        return check(os.path.isfile(os.path.join(product, relative)), f"product: {relative} missing")

    msi_name = root.find("msi/output").get("file")
    guid = "{" + root.findtext("product/guid").strip() + "}"
    if exists(msi_name):
        db = Database(os.path.join(product, msi_name))
        properties = dict(db.execute("SELECT `Property`, `Value` FROM `Property`"))
        check(properties.get("ProductCode") == guid, f"package: ProductCode {properties.get('ProductCode')} != {guid}")
        check(properties.get("ProductVersion") == version, "package: ProductVersion")
        check(properties.get("ALLUSERS") == "1", "package: not per-machine by default")
        components = dict(db.execute("SELECT `Component`, `ComponentId` FROM `Component`"))
        for package in root.iterfind("msi/package"):
            bin_guid = next(d.get("value") for d in package.iterfind("defines/define")
                            if d.get("var-name") == "BIN_DIR_Guid")
            check(components.get("MainProgram") == "{" + bin_guid + "}",
                  f"package: main program component is not BIN_DIR_Guid of {package.get('language')}")
        files = {row[0] for row in db.execute("SELECT `FileName` FROM `File` WHERE `Component_` = 'MainProgram'")}
        start = root.findtext("bootstrapper/start-application-on-stick")
        check({start, "Pelaxo5.exe"} <= files, f"package: main program files are {files}")
        features = {row[0] for row in db.execute("SELECT `Feature` FROM `Feature`")}
        check({"Main", "Videos", "Presentations"} <= features, f"package: features {features}")
        conditions = db.execute("SELECT `Feature_`, `Level`, `Condition` FROM `Condition`")
        check(["Videos", "1000", 'NOVIDEOS = "1"'] in conditions, "package: Videos condition missing")
        roots = {row[0] for row in db.execute("SELECT `Root` FROM `Registry`")}
        check("4" not in roots, "package: a registry row still has the invalid root 4")
        db.close()
        medium = os.path.join(product, "Support", "MSI", msi_name)
        if exists(os.path.join("Support", "MSI", msi_name)):
            check(open(medium, "rb").read() == open(os.path.join(product, msi_name), "rb").read(),
                  "medium: Support/MSI package differs from the embedded one")

    for edition in "PHE":
        relative = os.path.join("Support", "MSI", f"Pelaxo5_{edition}.msi")
        if exists(relative):
            db = Database(os.path.join(product, relative))
            code = dict(db.execute("SELECT `Property`, `Value` FROM `Property`"))["ProductCode"]
            db.close()
            expected = "{" + root.find("product/guid").get(f"pelaxo5-{edition.lower()}-guid") + "}"
            check(code == expected, f"medium: Pelaxo5_{edition}.msi product code {code} != {expected}")

    runtimes = [root.find(f"dot-net20-framework/resource/{b}").get("source-file") for b in ("Bit32", "Bit64")]
    runtimes.append(root.find("dot-net40-client-framework/resource").get("source-file"))
    for runtime in runtimes:
        exists(runtime)
    for relative in ("Support/Dot_Net20/NetFx20SP2_x86.exe", "Support/Dot_Net20/NetFx20SP2_x64.exe",
                     "Support/Dot_Net40_Client/dotNetFx40_Client_x86_x64.exe"):
        exists(relative)
    msi = root.find("msi")
    for attribute in ("video-cab-file1", "video-cab-file2", "presentations-cab-file1"):
        if msi.get(attribute):
            if exists(os.path.join("Support", "MSI", msi.get(attribute))):
                check(open(os.path.join(product, "Support", "MSI", msi.get(attribute)), "rb").read(4) == b"MSCF",
                      f"medium: {msi.get(attribute)} is not a cabinet")

    for language in root.iterfind("bootstrapper/languages/language"):
        help_file = language.get("help-file")
        if exists(help_file):
            check(open(os.path.join(product, help_file), "rb").read(4) == b"ITSF",
                  f"product: {help_file} is not a compiled help file")
            topics = set(HELP.get(help_file, (None, None, {}))[2])
            check(topics == HELP_TOPICS, f"help: {help_file} topics {sorted(topics)}")

    fixed, strings = file_version_strings(os.path.join(product, runtimes[0]))
    check(fixed == "2.0.50727.4927", f"runtime stand-in: file version {fixed}")


def check_program(app_path, version):
    fixed, strings = file_version_strings(app_path)
    check(fixed == version, f"program: fixed file version {fixed}")
    check(strings == {"FileVersion": version, "ProductVersion": version},
          f"program: version strings {strings}")


def main(argv):
    if len(argv) != 4:
        sys.exit(__doc__)
    product, variants_dir, version = argv[1:]
    root = check_readable(os.path.join(product, "settings.xml"))
    if root is not None:
        check_base(root)
        check_variants(root, variants_dir)
        check_product_dir(product, root, version)
        app = os.path.join(product, "..", "bin", root.findtext("bootstrapper/start-application-on-stick"))
        check_program(app, version)
    for failure in failures:
        print("FAIL:", failure)
    print(f"check_product: {len(failures)} failure(s)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
