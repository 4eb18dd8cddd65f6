"""Private CUPS schedulers for the printing journeys.

Started by the root part of the suite (cupsd and the cups-pdf backend need root): one
scheduler with a cups-pdf queue "PDF" as its default, one with no printer at all. Each
has its own configuration and listens on a socket of its own, so the machine's own CUPS
is never touched; the user run finds them through the environment variables below and
the program reaches one of them through CUPS_SERVER. Both are stopped by process id.
"""

import grp
import os
import shutil
import subprocess
import tempfile
import time
from pathlib import Path

PPD = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"
QUEUE = "PDF"
PACKAGES = {"cups": "/usr/sbin/cupsd", "printer-driver-cups-pdf": "/usr/lib/cups/backend/cups-pdf",
            "poppler-utils": "/usr/bin/pdfinfo"}

# Sockets of the two schedulers, and why there are none.
WITH_PRINTER = "PELKO_E2E_CUPS_PRINTER"
WITHOUT_PRINTER = "PELKO_E2E_CUPS_EMPTY"
UNAVAILABLE = "PELKO_E2E_CUPS_UNAVAILABLE"

CUPSD_CONF = """LogLevel info
Listen {socket}
Browsing Off
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
"""

FILES_CONF = """ServerRoot {d}/etc
RequestRoot {d}/spool
StateDir {d}/state
CacheDir {d}/cache
TempDir {d}/tmp
Printcap {d}/printcap
ErrorLog {d}/log/error_log
AccessLog {d}/log/access_log
PageLog {d}/log/page_log
"""


def _tool(name):
    return shutil.which(name) or shutil.which(name, path="/usr/sbin:/sbin")


class Scheduler:
    def __init__(self, folder, with_printer):
        self.folder = Path(folder)
        self.socket = str(self.folder / "cups.sock")
        self.with_printer = with_printer
        self.proc = None

    def start(self):
        d = self.folder
        d.mkdir(parents=True)
        # Filters run as "lp", the program as the test user: both must reach in.
        d.chmod(0o755)
        for sub in ("etc", "spool", "state", "cache", "tmp", "log"):
            (d / sub).mkdir()
        try:
            os.chown(d / "tmp", 0, grp.getgrnam("lp").gr_gid)
        except KeyError:
            pass
        (d / "tmp").chmod(0o1770)
        (d / "cupsd.conf").write_text(CUPSD_CONF.format(socket=self.socket))
        (d / "cups-files.conf").write_text(FILES_CONF.format(d=d))
        self.proc = subprocess.Popen(
            [_tool("cupsd"), "-f", "-c", str(d / "cupsd.conf"), "-s", str(d / "cups-files.conf")],
            stdout=subprocess.DEVNULL, stderr=open(d / "log" / "cupsd.out", "ab"),
            start_new_session=True)
        end = time.monotonic() + 20
        while time.monotonic() < end:
            if self.proc.poll() is not None:
                raise RuntimeError(f"cupsd ended at start: {self.log()}")
            if Path(self.socket).exists() and self._ready():
                return self
            time.sleep(0.1)
        raise RuntimeError(f"cupsd did not answer on {self.socket}: {self.log()}")

    def _ready(self):
        if not self.with_printer:
            return self.lp("lpstat", "-r").returncode == 0
        added = self.lp("lpadmin", "-p", QUEUE, "-v", "cups-pdf:/", "-E", "-P", PPD)
        return added.returncode == 0 and self.lp("lpadmin", "-d", QUEUE).returncode == 0

    def lp(self, *args):
        env = dict(os.environ, CUPS_SERVER=self.socket, LC_ALL="C")
        return subprocess.run([_tool(args[0]), *args[1:]], env=env, capture_output=True,
                              text=True, timeout=30)

    def log(self):
        path = self.folder / "log" / "error_log"
        return path.read_text(errors="replace")[-2000:] if path.exists() else ""

    def stop(self):
        if self.proc and self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()


class Schedulers:
    """Both schedulers, for the life of a suite run; env() tells the user run of them."""

    def __init__(self, logs=None):
        self.logs = logs
        self.folder = None
        self.running = []
        self.why_not = None

    def __enter__(self):
        gone = [name for name, path in PACKAGES.items() if not Path(path).exists()]
        if gone:
            self.why_not = f"not installed: {', '.join(gone)}"
            return self
        if os.geteuid() != 0:
            self.why_not = "a private cupsd with the cups-pdf backend needs the suite run as root"
            return self
        self.folder = Path(tempfile.mkdtemp(prefix="pelko-e2e-cups-"))
        self.folder.chmod(0o755)
        try:
            for name, with_printer in (("printer", True), ("empty", False)):
                self.running.append(Scheduler(self.folder / name, with_printer).start())
        except (RuntimeError, OSError, subprocess.SubprocessError) as error:
            self.why_not = f"the private CUPS schedulers did not start: {error}"
            self.__exit__()
        return self

    def env(self):
        if self.why_not:
            return {UNAVAILABLE: self.why_not}
        return {WITH_PRINTER: self.running[0].socket, WITHOUT_PRINTER: self.running[1].socket}

    def __exit__(self, *exc):
        for scheduler in reversed(self.running):
            scheduler.stop()
        if self.logs and self.folder:
            Path(self.logs).mkdir(parents=True, exist_ok=True)
            for scheduler in self.running:
                log = scheduler.folder / "log" / "error_log"
                if log.exists():
                    shutil.copy2(log, Path(self.logs) / f"cupsd-{scheduler.folder.name}.log")
        self.running.clear()
        if self.folder:
            shutil.rmtree(self.folder, ignore_errors=True)
            self.folder = None
