#!/usr/bin/env python3
"""Acceptance of Pelko through real Japanese input methods: ibus + Mozc and fcitx5 + Mozc.

    pelko_e2e.py --pelko build/bin/pelko --out build/tests/e2e/artefacts [--im ibus]
                 [--suite typing|journeys] [--wayland]

Each input method gets a desktop session of its own (Xvfb, D-Bus, the input method
daemon); each scenario starts the program in a folder of its own and types through
xdotool. The typing suite checks the counts through both input methods; the journeys
suite walks the user's paths through the windows (certification, printing, settings,
ranking, help). With --wayland the session runs weston with XWayland on the virtual
display and the program is started as on a Wayland desktop, left to choose its platform. Mozc will not run as root, so as root the suite runs itself as the user
"pelko-e2e", which it creates when missing. Screenshots of the key moments land in --out.

Exit status: 0 all passed, 1 a scenario failed, 77 skipped (tools or packages missing;
set PELKO_E2E_REQUIRE=1 or CI to fail instead).
"""

import argparse
import os
import pwd
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback
from pathlib import Path

HERE = Path(__file__).resolve().parent
USER = "pelko-e2e"
SKIP = 77

COMMON_PACKAGES = {"xvfb": "/usr/bin/Xvfb", "xdotool": "/usr/bin/xdotool",
                   "x11-utils": "/usr/bin/xwininfo",
                   "imagemagick": "/usr/bin/import", "xclip": "/usr/bin/xclip",
                   "dbus": "/usr/bin/dbus-daemon"}
IM_PACKAGES = {
    "ibus": {"ibus": "/usr/bin/ibus-daemon",
             "ibus-mozc": "/usr/lib/ibus-mozc/ibus-engine-mozc",
             "mozc-server": "/usr/lib/mozc/mozc_server"},
    "fcitx5": {"fcitx5": "/usr/bin/fcitx5",
               "fcitx5-mozc": "/usr/lib/x86_64-linux-gnu/fcitx5/fcitx5-mozc.so",
               "fcitx5-frontend-qt6": "/usr/lib/x86_64-linux-gnu/qt6/plugins/"
                                      "platforminputcontexts/libfcitx5platforminputcontextplugin.so",
               "mozc-server": "/usr/lib/mozc/mozc_server"},
}
WAYLAND_PACKAGES = {"weston": "/usr/bin/weston", "xwayland": "/usr/bin/Xwayland",
                    "qt6-wayland": "/usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/"
                                   "libqwayland-generic.so"}


def missing(packages):
    return [name for name, path in packages.items() if not Path(path).exists()]


def required():
    return os.environ.get("PELKO_E2E_REQUIRE") == "1" or bool(os.environ.get("CI"))


# -- as root: hand over to an unprivileged user ---------------------------------------

def ensure_user():
    try:
        return pwd.getpwnam(USER)
    except KeyError:
        subprocess.run(["useradd", "--create-home", "--shell", "/usr/sbin/nologin",
                        "--comment", "Pelko acceptance runs", USER], check=True)
        return pwd.getpwnam(USER)


def run_as_user(args):
    user = ensure_user()
    work = Path(tempfile.mkdtemp(prefix="pelko-e2e-"))
    printers = PrivatePrinters()
    try:
        # The build folder may not be readable by the user: copy what the run needs.
        for script in HERE.glob("*.py"):
            shutil.copy2(script, work / script.name)
        shutil.copy2(args.pelko, work / "pelko")
        # The checking page the program copies when it makes a school's key.
        if (args.pelko.parent / "verify.html").exists():
            shutil.copy2(args.pelko.parent / "verify.html", work / "verify.html")
        (work / "out").mkdir()
        for path in [work, *work.rglob("*")]:
            os.chown(path, user.pw_uid, user.pw_gid)
        # The user may not reach an interpreter in root's own folders.
        python = "/usr/bin/python3" if Path("/usr/bin/python3").exists() else sys.executable
        command = ["runuser", "-u", USER, "--", python, str(work / "pelko_e2e.py"),
                   "--pelko", str(work / "pelko"), "--out", str(work / "out"),
                   "--im", ",".join(args.im), "--only", ",".join(args.only),
                   "--suite", args.suite] + (["--wayland"] if args.wayland else [])
        env = {k: v for k, v in os.environ.items()
               if k in ("PATH", "CI", "PELKO_E2E_REQUIRE")}
        env.update({"HOME": user.pw_dir, "USER": USER, "LOGNAME": USER})
        env.update(printers.start(args))
        child = subprocess.Popen(command, env=env, cwd=work, start_new_session=True)

        def forward(signum, frame):
            child.send_signal(signum)

        signal.signal(signal.SIGTERM, forward)
        signal.signal(signal.SIGINT, forward)
        rc = child.wait()
        args.out.mkdir(parents=True, exist_ok=True)
        for old in args.out.glob("*.png"):
            old.unlink()
        for item in (work / "out").iterdir():
            target = args.out / item.name
            if item.is_dir():
                shutil.copytree(item, target, dirs_exist_ok=True)
            else:
                shutil.copy2(item, target)
        print(f"Screenshots and service logs: {args.out}")
        return rc
    finally:
        printers.stop()
        shutil.rmtree(work, ignore_errors=True)


class PrivatePrinters:
    """CUPS schedulers of the suite's own for the journeys that print; only root can
    start them with the cups-pdf backend, so the root part does."""

    def __init__(self):
        self.schedulers = None

    def start(self, args):
        if args.suite != "journeys":
            return {}
        sys.dont_write_bytecode = True
        from e2e_cups import Schedulers
        args.out.mkdir(parents=True, exist_ok=True)
        self.schedulers = Schedulers(logs=args.out).__enter__()
        return self.schedulers.env()

    def stop(self):
        if self.schedulers:
            self.schedulers.__exit__()
            self.schedulers = None


# -- as the user: sessions and scenarios ----------------------------------------------

def run_suite(args):
    sys.dont_write_bytecode = True  # keep the source folder clean
    sys.path.insert(0, str(HERE))
    from e2e_session import E2EFailure, Session
    if args.suite == "journeys":
        from e2e_certification import JOURNEYS as certification
        from e2e_journeys import JOURNEYS as journeys
        from e2e_results_db import JOURNEYS as results_db
        from e2e_signed import JOURNEYS as signed
        from e2e_stumbles import JOURNEYS as stumbles
        SCENARIOS = certification + signed + journeys + results_db + stumbles
    else:
        from e2e_scenarios import SCENARIOS

    gone = missing({**COMMON_PACKAGES, **(WAYLAND_PACKAGES if args.wayland else {})})
    if gone:
        print(f"SKIP: not installed: {', '.join(gone)} (scripts/deps.sh test installs them)")
        return 1 if required() else SKIP

    args.out.mkdir(parents=True, exist_ok=True)
    for old in args.out.glob("*.png"):
        old.unlink()
    work = Path(tempfile.mkdtemp(prefix="pelko-e2e-run-"))
    results = []
    skipped = []
    try:
        for im in args.im:
            gone = missing(IM_PACKAGES[im])
            if gone:
                message = f"{im}+Mozc: package(s) not installed: {', '.join(gone)}"
                if required():
                    results.append((im, "setup", message))
                else:
                    print(f"SKIP {message}")
                    skipped.append(im)
                continue
            home = work / im / "home"
            logs = args.out / f"{im}-logs"
            home.mkdir(parents=True)
            logs.mkdir(parents=True, exist_ok=True)
            began = time.monotonic()
            try:
                with Session(im, home, logs, wayland=args.wayland) as session:
                    for scenario in SCENARIOS:
                        if args.only and scenario.name not in args.only:
                            continue
                        # A scenario may name a missing service it cannot do without.
                        why_not = getattr(scenario, "unavailable", lambda: None)()
                        if why_not:
                            if required():
                                results.append((im, scenario.name, why_not))
                                print(f"FAIL {im} {scenario.name}: {why_not}", flush=True)
                            else:
                                skipped.append(scenario.name)
                                print(f"SKIP {im} {scenario.name}: {why_not}", flush=True)
                            continue
                        t0 = time.monotonic()
                        test = scenario(session, args.pelko, work / im / scenario.name, args.out)
                        try:
                            test.run()
                            results.append((im, scenario.name, None))
                            print(f"PASS {im} {scenario.name} ({time.monotonic() - t0:.0f} s)",
                                  flush=True)
                        except E2EFailure as failure:
                            results.append((im, scenario.name, str(failure)))
                            print(f"FAIL {im} {scenario.name}: {failure}", flush=True)
            except E2EFailure as failure:
                results.append((im, "session", str(failure)))
                print(f"FAIL {im} session: {failure}", flush=True)
            print(f"{im}: {time.monotonic() - began:.0f} s", flush=True)
    except Exception:
        traceback.print_exc()
        return 1
    finally:
        shutil.rmtree(work, ignore_errors=True)

    failures = [r for r in results if r[2]]
    print(f"\n{len(results) - len(failures)} passed, {len(failures)} failed"
          + (f", skipped: {', '.join(skipped)}" if skipped else ""))
    for im, name, why in failures:
        print(f"  {im} {name}: {why}")
    print(f"Screenshots: {args.out}")
    if failures:
        return 1
    return SKIP if not results else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--pelko", type=Path, required=True, help="the program to test")
    parser.add_argument("--out", type=Path, required=True, help="folder for screenshots")
    parser.add_argument("--im", default="ibus,fcitx5", help="ibus, fcitx5 or both")
    parser.add_argument("--only", default="", help="scenario names, comma-separated")
    parser.add_argument("--suite", default="typing", choices=("typing", "journeys"),
                        help="counts through the input methods, or the user's journeys")
    parser.add_argument("--wayland", action="store_true",
                        help="run under weston + XWayland as on a Wayland desktop")
    args = parser.parse_args()
    args.im = [im for im in args.im.split(",") if im]
    args.only = [name for name in args.only.split(",") if name]
    args.pelko = args.pelko.resolve()
    args.out = args.out.resolve()
    unknown = [im for im in args.im if im not in IM_PACKAGES]
    if unknown:
        parser.error(f"unknown input method: {', '.join(unknown)}")
    if not args.pelko.is_file():
        print(f"FAIL: no program at {args.pelko}")
        return 1
    if os.geteuid() == 0:
        return run_as_user(args)
    return run_suite(args)


if __name__ == "__main__":
    sys.exit(main())
