"""Downloads as a user meets them: the teaching material fetched in MD5-verified segments
from the reference server under lighttpd, behind the progress page; single files and the
result codes of both downloads through payload-probe's real progress page; and the
reference server itself: its three replies, its refusals and its digest cache. The whole
segmented downloads and the three replies also run against the static-range server."""

import glob
import hashlib
import json
import os
import re
import time

import pytest

from harness import procs
from harness.download_server import MODES, DownloadServer
from medium import (CANCEL, INSTALL, NEXT, Medium, assert_logged, edited, page_titled, texts, wait_start_page,
                    with_support)

FRAME = 1004
OPTION1 = 1032


@pytest.fixture
def server(tmp_path, request):
    """The CGI server, or with parametrize("server", MODES, indirect=True) each mode."""
    s = DownloadServer(str(tmp_path / "server"), mode=getattr(request, "param", "cgi")).start()
    yield s
    s.stop()


# Both server modes, for the scenarios that walk a whole segmented download.
BOTH_MODES = pytest.mark.parametrize("server", MODES, indirect=True)


def serve(server, name, size, seed):
    data = hashlib.sha256(str(seed).encode()).digest() * (size // 32 + 1)
    data = bytes(b ^ (i * 7 & 0xFF) for i, b in enumerate(data[:size])) if size < 100000 else data[:size]
    with open(os.path.join(server.files, name), "wb") as f:
        f.write(data)
    server.publish()
    return data


@BOTH_MODES
def test_the_server_answers_the_three_requests_and_refuses_names_outside_its_folder(server):
    data = serve(server, "a.cab", 25_000_000, 1)
    assert server.get("file=a.cab") == (200, b"25000000")
    assert server.get("file=a.cab&mb_pos=10&length=10000000") == (200, data[10_000_000:20_000_000])
    assert server.get("file=a.cab&mb_pos=20&length=10000000") == (200, data[20_000_000:])  # short at the end
    assert server.get("file=a.cab&mb_pos=20&length=10000000&crc=1") == (
        200, hashlib.md5(data[20_000_000:]).hexdigest().encode())
    os.symlink("/etc/passwd", os.path.join(server.files, "out.cab"))
    server.publish()
    for query in ["file=../a.cab", "file=%2e%2e%2fa.cab", "file=/etc/passwd", "file=C:a.cab", "file=sub\\a.cab",
                  "file=out.cab", "file=.digest-cache", "file=", "file=a.cab&file=b.cab", "file=a.cab%00.txt",
                  "file=a.cab&mb_pos=-1&length=10", "file=a.cab&mb_pos=0&length=160000001"]:
        assert server.get(query)[0] in (400, 404), query  # lighttpd itself refuses some


def test_the_digest_of_a_segment_is_hashed_once_and_follows_the_file(server):
    serve(server, "a.cab", 30_000_000, 2)
    query = "file=a.cab&mb_pos=0&length=20000000&crc=1"
    first = server.get(query)[1]
    cached = glob.glob(os.path.join(server.files, ".digest-cache", "a.cab.*.md5"))
    assert len(cached) == 1
    with open(cached[0], "w") as f:  # a later request is answered from the cache
        f.write("0" * 32)
    assert server.get(query)[1] == b"0" * 32
    os.utime(os.path.join(server.files, "a.cab"), (1_600_000_000, 1_600_000_000))  # a new release
    assert server.get(query)[1] == first

    # Sending a segment hashes it on the way, so its digest request reads nothing again.
    status, body = server.get("file=a.cab&mb_pos=20&length=20000000")
    assert status == 200 and len(body) == 10_000_000
    tail = glob.glob(os.path.join(server.files, ".digest-cache", "a.cab.*.20.20000000.md5"))
    with open(tail[0]) as f:
        assert f.read() == hashlib.md5(body).hexdigest()
    assert server.get("file=a.cab&mb_pos=20&length=20000000&crc=1")[1] == hashlib.md5(body).hexdigest().encode()


def start_material_download(wine, server):
    """Walks a full installation to the material page and chooses the download; returns the
    run and its progress page."""
    t = texts("en")
    medium = with_support(Medium(wine, product="demo-no-runtimes"))
    with open(wine.build.require("examples/demo/variants/no-runtimes.xml"), encoding="utf-8") as f:
        settings = f.read()
    medium.set_settings(edited(settings, 'didactic-material-url="http://127.0.0.1:8080/material/"',
                               f'didactic-material-url="{server.url}"'))
    proc = medium.start()
    wine.driver.click(INSTALL, hwnd=wait_start_page(wine, proc)["hwnd"])
    for title in (77, 111, 97):  # user group, circuit folder, videos
        page = page_titled(wine, proc, t[title], timeout=60)
        wine.driver.click(NEXT, hwnd=page["hwnd"])
        wine.driver.wait_gone(hwnd=page["hwnd"])
    page = page_titled(wine, proc, t[159])
    wine.driver.select_radio(OPTION1, hwnd=page["hwnd"])
    wine.driver.click(NEXT, hwnd=page["hwnd"])

    progress = page_titled(wine, proc, t[163])
    assert progress.text(1028) == t[164] and progress.text(FRAME) == t[6]
    assert progress.control(CANCEL)["enabled"] and not progress.control(NEXT)["enabled"]
    return proc, progress


def download_material(wine, server, material, install=False):
    """Walks a full installation to the material page, chooses the download and waits for
    its page to go; checks the cabinets in the temporary folder, then cancels the run or,
    with install, lets the installer have them."""
    t = texts("en")
    proc, progress = start_material_download(wine, server)
    wine.screenshot("material-download")
    wine.driver.wait_gone(hwnd=progress["hwnd"], timeout=300)

    presentations = page_titled(wine, proc, t[101])
    found = glob.glob(os.path.join(wine.drive_c, "users", "*", "**", "material1.cab"), recursive=True)
    assert found, "the material is not in the temporary folder"
    for name, data in material.items():
        with open(os.path.join(os.path.dirname(found[0]), name), "rb") as f:
            assert hashlib.sha256(f.read()).digest() == hashlib.sha256(data).digest(), name
    if not install:
        wine.driver.click(CANCEL, hwnd=presentations["hwnd"])
        wine.driver.answer_message_box("yes", pid=proc.pid)
        assert proc.wait(timeout=30) == 0
        return
    wine.driver.click(NEXT, hwnd=presentations["hwnd"])
    assert proc.wait(timeout=240) == 0
    assert wine.reg_value(r"HKLM\SOFTWARE\Ohmwerk\Circuita\5.0", "NOVIDEOS") == ""  # all content wanted
    # This run's downloads go once the installer is done with them.
    assert [name for name in material if os.path.exists(os.path.join(os.path.dirname(found[0]), name))] == []


def trust_server(wine, server):
    """The prefix trusts the certificate authority of a tls server, as a company's computers
    trust the company's own."""
    tool = wine.build.require("tests/win32tools/trust-root.exe")
    assert wine.run(tool, wine.to_windows(server.ca_certificate)) == 0


def test_the_material_arrives_whole_from_a_server_that_speaks_only_https(wine, tmp_path):
    server = DownloadServer(str(tmp_path / "server"), tls=True).start()
    try:
        trust_server(wine, server)
        download_material(wine, server, {"material1.cab": serve(server, "material1.cab", 3_000_000, 5),
                                         "material2.cab": serve(server, "material2.cab", 70_000, 6)})
    finally:
        server.stop()


@BOTH_MODES
def test_the_teaching_material_arrives_in_verified_segments_behind_the_progress_page(wine, server):
    download_material(wine, server, {"material1.cab": serve(server, "material1.cab", 25_000_000, 3),
                                     "material2.cab": serve(server, "material2.cab", 12_345_678, 4)})


@BOTH_MODES
def test_chosen_material_goes_to_the_installer_and_is_removed_afterwards(wine, server):
    download_material(wine, server, {"material1.cab": serve(server, "material1.cab", 3_000_000, 8),
                                     "material2.cab": serve(server, "material2.cab", 70_000, 9)}, install=True)


def test_the_older_generations_videos_download_as_one_file_behind_the_progress_page(wine, server):
    from test_progress_page import install_runtime

    t = texts("en")
    video = serve(server, "media2.cab", 4_000_000, 10)
    medium = with_support(Medium(wine, product="demo-pelaxo4-hyd"))
    with open(wine.build.require("examples/demo/variants/pelaxo4-hyd.xml"), encoding="utf-8") as f:
        settings = f.read()
    medium.set_settings(edited(settings, "http://127.0.0.1:8080/media/media2.cab", f"{server.url}/files/media2.cab"))
    proc = medium.start()
    wine.driver.click(INSTALL, hwnd=wait_start_page(wine, proc)["hwnd"])
    install_runtime(wine, proc, t, version40=False)
    install_runtime(wine, proc, t, version40=True)
    for title in (77, 111):  # user group, circuit folder
        page = page_titled(wine, proc, t[title], timeout=60)
        wine.driver.click(NEXT, hwnd=page["hwnd"])
        wine.driver.wait_gone(hwnd=page["hwnd"])
    videos = page_titled(wine, proc, t[141])
    assert videos.text(1028) == t[142].replace("xyz", "35") and videos.text(OPTION1) == t[143]
    wine.driver.click(NEXT, hwnd=videos["hwnd"])  # the download is preselected
    progress = page_titled(wine, proc, t[145])
    assert progress.text(1028) == t[146] and progress.text(FRAME) == t[6]
    wine.driver.wait_gone(hwnd=progress["hwnd"], timeout=120)

    material = page_titled(wine, proc, t[159])
    found = glob.glob(os.path.join(wine.drive_c, "users", "*", "**", "media2.cab"), recursive=True)
    assert len(found) == 1 and same_bytes(found[0], video)
    # One plain request for the whole file, no segments.
    assert [line for line in server.access_log() if "media2.cab" in line] and \
        not [line for line in server.access_log() if "getfile.pl" in line]
    wine.driver.click(CANCEL, hwnd=material["hwnd"])
    wine.driver.answer_message_box("yes", pid=proc.pid)
    assert proc.wait(timeout=30) == 0


@pytest.fixture
def faulty_server(tmp_path):
    s = DownloadServer(str(tmp_path / "server"), faults=True).start()
    yield s
    s.stop()


def test_the_material_arrives_whole_through_every_kind_of_server_fault(wine, faulty_server):
    server = faulty_server
    material = {"material1.cab": serve(server, "material1.cab", 31_000_000, 5),
                "material2.cab": serve(server, "material2.cab", 6_000, 6)}
    # material1.cab doubles once its size is read: nothing past the announced size is kept.
    server.plan_faults("size zero", "size long", "size http404", "size grow",
                       "segment corrupt", "segment short", "segment more", "segment reset", "segment http500",
                       "digest newline", "digest http404", "segment stall")
    download_material(wine, server, material)
    assert server.faults_left() == []
    # The log names the download, its result, its bytes and what the faults cost.
    assert_logged(wine, "download: " + re.escape(server.url) + r" in segments, material1\.cab material2\.cab to .*\\$",
                  r"download ended: 0 \(done\), 31006000 bytes, [1-9]\d* segment\(s\) fetched again$")


def test_material_that_shrinks_on_the_server_ends_with_the_connection_message_and_the_question_again(
        wine, faulty_server):
    t = texts("en")
    server = faulty_server
    serve(server, "material1.cab", 31_000_000, 14)
    serve(server, "material2.cab", 6_000, 15)
    server.plan_faults("size shrink")
    proc, progress = start_material_download(wine, server)
    wine.driver.wait_gone(hwnd=progress["hwnd"], timeout=120)
    box = wine.driver.wait_message_box(pid=proc.pid, timeout=30)
    assert box.message_text == t[5]
    wine.screenshot("shrunk-material")
    wine.driver.answer_message_box("ok", hwnd=box["hwnd"])
    question = page_titled(wine, proc, t[159])
    wine.driver.click(CANCEL, hwnd=question["hwnd"])
    wine.driver.answer_message_box("yes", pid=proc.pid)
    assert proc.wait(timeout=30) == 0


def start_probe(wine, *args):
    """payload-probe running one download step; finish with probe_result."""
    out = os.path.join(wine.drive_c, "probe-report.json")
    if os.path.exists(out):
        os.remove(out)
    return wine.start(wine.build.require("tests/win32tools/payload-probe.exe"), "--out", wine.to_windows(out),
                      *args)


def probe_result(wine, proc, timeout=120):
    assert proc.wait(timeout=timeout) == 0
    with open(os.path.join(wine.drive_c, "probe-report.json"), encoding="utf-8") as f:
        return json.load(f)


def same_bytes(path, data):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).digest() == hashlib.sha256(data).digest()


def test_a_slow_single_file_download_shows_its_figures_while_it_runs(wine, tmp_path):
    server = DownloadServer(str(tmp_path / "server"), kbytes_per_second=1024).start()
    try:
        data = serve(server, "media2.cab", 6 * 1048576, 7)
        proc = start_probe(wine, "download", f"{server.url}/files/media2.cab", "C:\\media2.cab")
        page = page_titled(wine, proc, "Downloading")
        figures = lambda p: (p.text(1039), p.text(1040), p.text(1042))
        assert procs.wait_for(lambda: all(figures(page_titled(wine, proc, "Downloading"))), 20), \
            "the time and rate figures never appeared"
        size, time, rate = figures(page_titled(wine, proc, "Downloading"))
        wine.screenshot("download-figures")
        assert re.fullmatch(r" {3}[ 1-5]\d MB / {5}6 MB", size), size
        assert re.fullmatch(r" 0 m 0[2-9] s / [ \d]\d m \d\d s", time), time
        assert re.fullmatch(r"\d+\.\d KB/s", rate) and 300 < float(rate.split()[0]) < 2000, rate
        report = probe_result(wine, proc)
    finally:
        server.stop()
    assert report["result"] == 0
    assert same_bytes(os.path.join(wine.drive_c, "media2.cab"), data)
    assert all(p["title"] == "Downloading" and p["frame"] == "Status" for p in report["pages"])
    assert report["pages"][-1]["size"].endswith("/     6 MB")


def test_short_answers_and_unwritable_targets_end_with_their_result_codes(wine, server):
    serve(server, "short.cab", 4_999, 8)
    data = serve(server, "least.cab", 5_000, 9)
    serve(server, "a.cab", 20_000, 10)
    run = lambda *args: probe_result(wine, start_probe(wine, *args))["result"]
    assert run("download", f"{server.url}/files/short.cab", "C:\\short.cab") == -3
    assert not os.path.exists(os.path.join(wine.drive_c, "short.cab"))
    assert run("download", f"{server.url}/files/least.cab", "C:\\least.cab") == 0
    assert same_bytes(os.path.join(wine.drive_c, "least.cab"), data)
    assert run("download", f"{server.url}/files/missing.cab", "C:\\missing.cab") == -3
    assert run("download", f"{server.url}/files/a.cab", "C:\\no-such-folder\\a.cab") == -2
    assert run("segments", server.url, "C:\\no-such-folder\\", "a.cab") == -2


def after_fault(arrivals, fault):
    """Seconds from the request that met the fault to the request after it."""
    at = next(i for i, (_, _, met) in enumerate(arrivals) if met == fault)
    return arrivals[at + 1][0] - arrivals[at][0]


@pytest.mark.parametrize("fault", ["stall", "freeze"])
def test_a_server_that_stops_sending_costs_one_segment_once_the_time_out_strikes(wine, tmp_path, fault):
    server = DownloadServer(str(tmp_path / "server"), faults=True, stall_seconds=15).start()
    try:
        data = serve(server, "material1.cab", 31_000_000, 13)
        server.plan_faults("segment pass", f"segment {fault}")
        proc = start_probe(wine, "--http-timeout", "3000", "segments", server.url, "C:\\", "material1.cab")
        report = probe_result(wine, proc, timeout=90)
        arrivals = server.arrivals()
    finally:
        server.stop()
    assert report["result"] == 0
    assert same_bytes(os.path.join(wine.drive_c, "material1.cab"), data)
    waited = after_fault(arrivals, fault)
    print(f"segment {fault}: failed and asked again {waited:.2f} s after it was sent")
    assert 3 <= waited < 8, waited  # the 3 s time-out, not the 15 s stall


@pytest.mark.parametrize("fault", ["stall", "freeze"])
def test_cancel_during_a_stalled_segment_is_answered_at_once_and_keeps_only_verified_segments(wine, tmp_path,
                                                                                               fault):
    # Neither the stall's end nor the 30 s time-out may be what answers Cancel.
    server = DownloadServer(str(tmp_path / "server"), faults=True, stall_seconds=60).start()
    try:
        data = serve(server, "material1.cab", 31_000_000, 11)
        server.plan_faults("segment pass", f"segment {fault}")
        proc = start_probe(wine, "segments", server.url, "C:\\", "material1.cab")
        page = page_titled(wine, proc, "Downloading")
        assert procs.wait_for(lambda: server.faults_left() == [], 60), "the second segment was never asked for"
        clicked = time.monotonic()
        wine.driver.click(CANCEL, hwnd=page["hwnd"])
        wine.driver.wait_gone(hwnd=page["hwnd"], timeout=40)
        answered = time.monotonic() - clicked
        report = probe_result(wine, proc, timeout=10)
    finally:
        server.stop()
    print(f"segment {fault}: the page closed {answered:.2f} s after Cancel")
    assert answered < 5, answered
    assert report["result"] == -1
    with open(os.path.join(wine.drive_c, "material1.cab"), "rb") as f:
        assert f.read() == data[:10_000_000]
