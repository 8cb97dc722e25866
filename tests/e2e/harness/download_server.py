"""The download server under a real lighttpd on 127.0.0.1 and a free port, serving the
files of one folder, in one of two modes: "cgi", the reference implementation
(tools/server/getfile.pl) under mod_cgi, or "static-range", the same answers from static
files (tools/server/lighttpd-static-range.conf: the digests publish-digests wrote, the
segments as byte ranges lighttpd sends itself). The same files are also served as they are
under /files/, for single-file downloads. With tls it speaks HTTPS only (mod_openssl),
with a certificate of its own test certificate authority."""

import os
import shutil
import socket
import subprocess
import time
import urllib.error
import urllib.request

from . import procs

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))))
SCRIPT = os.path.join(REPO, "tools", "server", "getfile.pl")
FAULTY = os.path.join(os.path.dirname(os.path.abspath(__file__)), "getfile_faults.pl")
STATIC_CONF = os.path.join(REPO, "tools", "server", "lighttpd-static-range.conf")
STATIC_LUA = os.path.join(REPO, "tools", "server", "static-range.lua")
PUBLISH = os.path.join(REPO, "tools", "server", "publish-digests")
MODES = ("cgi", "static-range")


def _free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class DownloadServer:
    """Start with start(); url is the base URL the launcher's settings name. With faults,
    the replies are spoiled as plan_faults() lists (harness/getfile_faults.pl), a stall
    lasting stall_seconds; kbytes_per_second throttles every connection; digest_cache
    False makes the server hash every digest request; cache_entries caps its digest cache;
    tls serves HTTPS only, trusted by a client that trusts ca_certificate. In the
    static-range mode the files are published at start and by publish(), which a test
    calls once it has placed them (a no-op in the cgi mode)."""

    def __init__(self, work_dir, faults=False, stall_seconds=2, kbytes_per_second=None, digest_cache=True,
                 tls=False, cache_entries=None, mode="cgi"):
        if mode not in MODES or (faults and mode != "cgi"):
            raise ValueError(f"mode {mode!r}: one of {MODES}, faults only with cgi")
        self.mode = mode
        self.work_dir = work_dir
        self.tls = tls
        self.faults = faults
        self.stall_seconds = stall_seconds
        self.kbytes_per_second = kbytes_per_second
        self.digest_cache = digest_cache
        self.cache_entries = cache_entries
        self.files = os.path.join(work_dir, "files")
        self.digests = os.path.join(work_dir, "digests")
        os.makedirs(self.files, exist_ok=True)
        self.fault_plan = os.path.join(work_dir, "faults.txt")
        open(self.fault_plan, "a").close()
        os.makedirs(os.path.join(work_dir, "root"), exist_ok=True)
        self.port = None
        self.proc = None

    @property
    def url(self):
        # Wine 8 matches a server certificate's DNS names, not its IP addresses.
        return f"https://localhost:{self.port}" if self.tls else f"http://127.0.0.1:{self.port}"

    @property
    def ca_certificate(self):
        """With tls: the DER file of the certificate authority that issued the server's
        certificate (made for this server alone), for a client to trust."""
        return os.path.join(self.work_dir, "tls", "ca.der")

    def _make_certificates(self):
        folder = os.path.join(self.work_dir, "tls")
        os.makedirs(folder, exist_ok=True)

        def openssl(*args):
            subprocess.run(["openssl", *args], cwd=folder, check=True, capture_output=True)
        openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "ca.key", "-out", "ca.pem", "-days", "2",
                "-subj", "/CN=Download test CA", "-addext", "basicConstraints=critical,CA:TRUE",
                "-addext", "keyUsage=critical,keyCertSign,cRLSign")
        openssl("x509", "-in", "ca.pem", "-outform", "DER", "-out", "ca.der")
        openssl("req", "-newkey", "rsa:2048", "-nodes", "-keyout", "server.key", "-out", "server.csr",
                "-subj", "/CN=localhost")
        with open(os.path.join(folder, "server.ext"), "w") as f:
            f.write("subjectAltName=DNS:localhost\nextendedKeyUsage=serverAuth\n")
        openssl("x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key", "-CAcreateserial",
                "-out", "server.pem", "-days", "2", "-extfile", "server.ext")
        return folder

    def publish(self):
        """Brings the published digests up to date with the files (static-range mode);
        returns publish-digests' complaints about names it refused."""
        if self.mode != "static-range":
            return ""
        done = subprocess.run([PUBLISH, self.files, self.digests], capture_output=True, text=True, timeout=600)
        if done.returncode not in (0, 1):  # 1: some names refused, which tests plant on purpose
            raise RuntimeError(f"publish-digests failed: {done.stderr}")
        return done.stderr

    def _static_range_conf(self):
        return (f'var.getfile_url = "/getfile.pl"\nvar.getfile_root = "{self.files}"\n'
                f'var.getfile_digests = "{self.digests}"\nvar.getfile_magnet = "{STATIC_LUA}"\n'
                f'include "{STATIC_CONF}"\n')

    def start(self, timeout=10.0):
        lighttpd = shutil.which("lighttpd") or "/usr/sbin/lighttpd"
        if not os.path.exists(lighttpd):
            raise RuntimeError("lighttpd not found (Debian package lighttpd)")
        self.port = _free_port()
        conf = os.path.join(self.work_dir, "lighttpd.conf")
        cgi_alias = f'"/getfile.pl" => "{FAULTY if self.faults else SCRIPT}", ' if self.mode == "cgi" else ""
        cap = "" if self.cache_entries is None else f', "GETFILE_DIGEST_CACHE_ENTRIES" => "{self.cache_entries}"'
        with open(conf, "w") as f:
            modules = ["mod_alias", "mod_cgi", "mod_setenv", "mod_accesslog"] + (["mod_openssl"] if self.tls else [])
            f.write(f'''server.modules = ({", ".join(f'"{m}"' for m in modules)})
server.document-root = "{self.work_dir}/root"
server.bind = "127.0.0.1"
server.port = {self.port}
server.errorlog = "{self.work_dir}/error.log"
accesslog.filename = "{self.work_dir}/access.log"
server.stream-response-body = 2
# The scenarios change the served files between requests; a cached stat would serve a removed file.
server.stat-cache-engine = "disable"
alias.url = ({cgi_alias}"/files/" => "{self.files}/")
cgi.assign = (".pl" => "/usr/bin/perl")
setenv.add-environment = ("GETFILE_ROOT" => "{self.files}", "GETFILE_SCRIPT" => "{SCRIPT}",
                          "GETFILE_FAULTS" => "{self.fault_plan}", "GETFILE_STALL" => "{self.stall_seconds}",
                          "GETFILE_DIGEST_CACHE" => "{"on" if self.digest_cache else "off"}"{cap})
''')
            if self.mode == "static-range":
                f.write(self._static_range_conf())
            if self.tls:
                tls = self._make_certificates()
                f.write(f'ssl.engine = "enable"\nssl.pemfile = "{tls}/server.pem"\nssl.privkey = "{tls}/server.key"\n')
            if self.kbytes_per_second:
                f.write(f"connection.kbytes-per-second = {self.kbytes_per_second}\n")
        self.publish()
        log = open(os.path.join(self.work_dir, "lighttpd.log"), "ab")
        self.proc = procs.popen([lighttpd, "-D", "-f", conf], stdout=log, stderr=log)
        log.close()

        def listening():
            try:
                with socket.create_connection(("127.0.0.1", self.port), timeout=0.2):
                    return True
            except OSError:
                return False
        if not procs.wait_for(listening, timeout):
            self.stop()
            raise RuntimeError(f"lighttpd did not listen on {self.port}; see {self.work_dir}/error.log")
        return self

    def plan_faults(self, *lines):
        """Faults for the next requests, each "<size|segment|digest> <fault>", used in order."""
        with open(self.fault_plan, "w") as f:
            f.write("".join(line + "\n" for line in lines))

    def faults_left(self):
        with open(self.fault_plan) as f:
            return [line.strip() for line in f if line.strip()]

    def arrivals(self):
        """(seconds since the epoch, kind, fault or "-") of each request the faulty server has
        had, in order of arrival."""
        path = self.fault_plan + ".times"
        if not os.path.exists(path):
            return []
        with open(path) as f:
            rows = [line.split() for line in f if line.strip()]
        return sorted((float(at), kind, fault) for at, kind, fault in rows)

    def get(self, query, timeout=30):
        """(status, body) of a getfile.pl request with this query; status None when no answer
        came in time."""
        try:
            with urllib.request.urlopen(f"{self.url}/getfile.pl?{query}", timeout=timeout) as r:
                return r.status, r.read()
        except urllib.error.HTTPError as e:
            return e.code, b""
        except OSError:
            return None, b""

    def access_log(self):
        """The request lines ("GET /files/a.cab HTTP/1.1") served so far."""
        path = os.path.join(self.work_dir, "access.log")
        if not os.path.exists(path):
            return []
        with open(path, encoding="utf-8", errors="replace") as f:
            return [line.split('"')[1] for line in f if line.count('"') >= 2]

    def cpu_seconds(self):
        """CPU time of the server and of the scripts it has run and reaped so far."""
        with open(f"/proc/{self.proc.pid}/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return sum(int(v) for v in fields[11:15]) / os.sysconf("SC_CLK_TCK")

    def stop(self):
        if self.proc is not None:
            procs.stop(self.proc)
            self.proc = None
