"""Every wizard page in every language at 100, 150 and 200 %, built by the real page steps
and shown through Win32Ui::showPage: text-fit-probe measures each static text and button
caption with the control's own font (Tahoma in the test prefix) and reports the texts that
are cut off, and those drawn over the header picture's drawing (any pixel under a drawn
line that is not the picture's background colour)."""

import json
import os

import pytest

PROBE = "tests/win32tools/text-fit-probe.exe"
LANGUAGES = ["de", "en", "es", "fr", "it", "cs"]
PAGES = [
    "start", "start-preconfig", "start-pelaxo5", "start-pelaxo5-preconfig", "start-pelaxo4", "start-togo",
    "already-installed", "installation-type", "network-folder", "user-group", "setup-folder",
    "program-folder", "program-folder-togo", "circuit-folder", "circuit-folder-preconfig",
    "circuit-folder-own", "videos-download", "videos-pelaxo4", "videos", "material-download",
    "presentations", "auto-mode", "presets-summary", "finish-launched", "finish-launch-failed",
    "finish-links", "finish-individual-setup", "runtime-20", "runtime-40", "extraction", "copy",
    "download-videos", "download-material", "shell-extension",
]
# The page's client area at 96 DPI (329 x 220 dialog units in Tahoma 8); other DPIs scale it.
CLIENT_AT_96 = (494, 358)

# English texts that do not fit and wait for a decision (none now: a message longer than
# its control grows into the frame below it).
KNOWN_ENGLISH = ()


@pytest.mark.timeout(300)
@pytest.mark.parametrize("dpi", [96, 144, 192])
def test_every_page_in_every_language_fits(wine, tmp_path, dpi):
    wine.set_dpi(dpi)
    out = os.path.join(str(tmp_path), "text-fit.jsonl")
    proc = wine.start(wine.build.require(PROBE), "--out", wine.to_windows(out))
    assert proc.wait(timeout=240) == 0, proc.output()
    with open(out, encoding="utf-8") as f:
        measured_pages = [json.loads(line) for line in f if line.strip()]

    # Every page of every language was shown once at this DPI, measured and ended without a box.
    seen = [(r["language"], r["page"]) for r in measured_pages]
    assert seen == [(lang, page) for lang in LANGUAGES for page in PAGES]
    problems = [f'{r["language"]}/{r["page"]}: shown {r["shown"]}, measured {r["measured"]}, boxes {r["messages"]}'
                for r in measured_pages if r["shown"] != 1 or r["measured"] < 3 or r["messages"]]
    assert not problems, "\n".join(problems)
    # The start page measures its title, three commands with explanations and Cancel.
    assert all(r["measured"] >= 8 for r in measured_pages if r["page"].startswith("start")), measured_pages[0]
    # The pages were drawn at the DPI asked for, their layout scaled with it (within the
    # rounding of the dialog units), and each title lies over its header band.
    wrong = [f'{r["language"]}/{r["page"]}: {r["dpi"]} DPI, {r["size"]}' for r in measured_pages
             if r["dpi"] != dpi or any(abs(have - base * dpi / 96) > 0.06 * base * dpi / 96
                                       for have, base in zip(r["size"], CLIENT_AT_96))]
    assert not wrong, "\n".join(wrong)
    assert all(any(line[0] == 1029 for line in r["header_lines"]) for r in measured_pages), measured_pages[0]

    clipped = [f'{r["language"]}/{r["page"]} #{c["id"]}: need {c["need"]} have {c["have"]}: {c["text"]!r}'
               for r in measured_pages for c in r["clipped"]]
    over = [f'{r["language"]}/{r["page"]} #{o["id"]}: {o["pixels"]} drawing pixels under {o["text"]!r}'
            for r in measured_pages for o in r["over_drawing"]]
    assert not over, f"{len(over)} texts lie over the header drawing at {dpi} DPI:\n" + "\n".join(over)
    # English texts are fixed here; those that do not fit wait for a decision. Only they
    # turn the failure into an expected one: any other cut-off text fails the test.
    known = [line for line in clipped if line.startswith(KNOWN_ENGLISH)]
    if clipped and len(known) == len(clipped):
        pytest.xfail("English texts that do not fit:\n" + "\n".join(known))
    assert not clipped, f"{len(clipped)} texts do not fit at {dpi} DPI:\n" + "\n".join(clipped)
