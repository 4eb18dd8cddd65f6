"""A desktop session of its own: virtual display, D-Bus session bus, one input method.

Every process the session starts carries a marker in its environment, so that the
helpers the services start on their own (the Mozc server, D-Bus activated services)
are found and stopped by process id at the end as well.
"""

import os
import re
import signal
import subprocess
import time
import uuid
from pathlib import Path

MARKER = "PELKO_E2E_SESSION"

IBUS_MOZC_CONFIG = """engines {
  name : "mozc-jp"
  longname : "Mozc"
  layout : "default"
  layout_variant : ""
  layout_option : ""
  rank : 80
}
active_on_launch: True
"""

FCITX_PROFILE = """[Groups/0]
Name=Default
Default Layout=us
DefaultIM=mozc

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=mozc
Layout=

[GroupOrder]
0=Default
"""

FCITX_CONFIG = """[Behavior]
ActiveByDefault=True
ShareInputState=No
"""


class E2EFailure(Exception):
    """A check failed; the text says what Pelko did wrong."""


def poll(what, probe, timeout=20.0, interval=0.1):
    """Calls probe until it returns something true; fails naming what was awaited."""
    end = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > end:
            raise E2EFailure(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(interval)


class Session:
    """Xvfb + D-Bus + an input method daemon, for one input method ("ibus" or "fcitx5")."""

    def __init__(self, im, home, log_dir, wayland=False):
        self.im = im
        # With wayland, a compositor runs on the virtual display and the programs on its
        # XWayland display; input still enters through the virtual display ("outer").
        self.wayland = wayland
        self.outer = None
        self.home = Path(home)
        self.log_dir = Path(log_dir)
        self.token = uuid.uuid4().hex
        self.procs = []
        self.env = {}

    # -- life cycle -----------------------------------------------------------------

    def __enter__(self):
        try:
            self._start()
        except BaseException:
            self.stop()
            raise
        return self

    def __exit__(self, *exc):
        self.stop()

    def _base_env(self):
        runtime = self.home / "runtime"
        runtime.mkdir(mode=0o700, parents=True, exist_ok=True)
        env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "HOME": str(self.home),
            "USER": os.environ.get("USER", ""),
            "LOGNAME": os.environ.get("LOGNAME", ""),
            "LANG": "C.UTF-8",
            "LC_ALL": "C.UTF-8",
            "XDG_RUNTIME_DIR": str(runtime),
            "XDG_CONFIG_HOME": str(self.home / ".config"),
            "NO_AT_BRIDGE": "1",
            MARKER: self.token,
        }
        return env

    def spawn(self, args, name, stdout=None, stdin=subprocess.DEVNULL):
        log = open(self.log_dir / f"{name}.log", "ab")
        proc = subprocess.Popen(
            args,
            env=self.env,
            stdout=stdout if stdout is not None else log,
            stderr=log,
            stdin=stdin,
            start_new_session=True,
        )
        log.close()
        self.procs.append((name, proc))
        return proc

    def _start(self):
        self.env = self._base_env()
        self._write_im_config()

        xvfb = self.spawn(
            ["Xvfb", "-displayfd", "1", "-screen", "0", "1280x900x24", "-nolisten", "tcp"],
            "xvfb",
            stdout=subprocess.PIPE,
        )
        number = xvfb.stdout.readline().decode().strip()
        if not number.isdigit():
            raise E2EFailure("Xvfb did not report a display number")
        self.env["DISPLAY"] = ":" + number
        self.outer = self.env["DISPLAY"]
        if self.wayland:
            self._start_weston()

        bus = self.spawn(
            ["dbus-daemon", "--session", "--nofork", "--print-address=1"],
            "dbus",
            stdout=subprocess.PIPE,
        )
        address = bus.stdout.readline().decode().strip()
        if not address:
            raise E2EFailure("dbus-daemon did not report its address")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address

        if self.im == "ibus":
            self._start_ibus()
        else:
            self._start_fcitx5()

    def _start_weston(self):
        """weston in a window on the virtual display, with XWayland for X programs.

        What had to be found out: weston's headless backend crashes XWayland on synthetic
        input, so the x11 backend draws into the virtual display at its origin, and
        XWayland's root coordinates equal the virtual display's. weston starts XWayland
        only for its first client and names the display in its log ("xserver listening
        on display :N"). Keys sent by XTEST to the virtual display reach weston's window,
        pass through its seat to the focused XWayland surface and then to the X focus,
        as a user's would; weston focuses a new window when it maps it, and
        xdotool windowfocus on the XWayland display moves the X focus as on plain X.
        Mozc is reached over the session bus (QT_IM_MODULE=ibus), so the input method
        needs nothing of the compositor; ibus-daemon gets the XWayland display for XIM."""
        socket = f"wayland-pelko-{self.token[:8]}"
        log = self.log_dir / "weston.log"
        log.write_bytes(b"")
        self.spawn(["weston", "--backend=x11-backend.so", "--xwayland", f"--socket={socket}",
                    "--width=1280", "--height=900", "--idle-time=0", f"--log={log}"],
                   "weston-stderr")
        found = poll("weston to start XWayland",
                     lambda: re.search(r"xserver listening on display (:\d+)",
                                       log.read_text(errors="replace")), timeout=30)
        self.env["DISPLAY"] = found.group(1)
        self.env["WAYLAND_DISPLAY"] = socket
        self.env["XDG_SESSION_TYPE"] = "wayland"

    def _write_im_config(self):
        if self.im == "ibus":
            mozc = self.home / ".config" / "mozc"
            mozc.mkdir(parents=True, exist_ok=True)
            (mozc / "ibus_config.textproto").write_text(IBUS_MOZC_CONFIG)
        else:
            fcitx = self.home / ".config" / "fcitx5"
            fcitx.mkdir(parents=True, exist_ok=True)
            (fcitx / "profile").write_text(FCITX_PROFILE)
            (fcitx / "config").write_text(FCITX_CONFIG)

    def _start_ibus(self):
        self.spawn(["ibus-daemon", "--xim", "--replace", "--panel=disable"], "ibus-daemon")

        def engine_set():
            # Its exit status is not to be trusted: ask which engine is on afterwards.
            self.run(["ibus", "engine", "mozc-jp"], check=False)
            return self.run(["ibus", "engine"], check=False).stdout.strip() == "mozc-jp"

        poll("ibus to answer with the Mozc engine", engine_set, timeout=30)
        self.ibus_address = self.run(["ibus", "address"]).stdout.strip()
        self.idle_context = self.ibus_context()

    def ibus_context(self):
        """The input context ibus has in focus: one of its own until a program's box that
        takes the input method has the focus."""
        out = self.dbus_call("org.freedesktop.IBus", "/org/freedesktop/IBus",
                             "org.freedesktop.IBus.CurrentInputContext",
                             bus=f"--bus={self.ibus_address}")
        found = re.search(r'object path "([^"]+)"', out)
        return found.group(1) if found else None

    def _start_fcitx5(self):
        self.spawn(
            ["fcitx5", "--disable=wayland,notificationitem,classicui"], "fcitx5")

        def mozc_ready():
            # fcitx5-remote would have the bus start a second fcitx5 of its own, which
            # takes the name from ours: ask first whether ours has it.
            owner = self.dbus_call("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                   "org.freedesktop.DBus.NameHasOwner",
                                   "string:org.fcitx.Fcitx5")
            if "boolean true" not in owner:
                return False
            group = self.dbus_call("org.fcitx.Fcitx5", "/controller",
                                   "org.fcitx.Fcitx.Controller1.InputMethodGroupInfo",
                                   "string:Default")
            return '"mozc"' in group

        poll("fcitx5 to answer with the Mozc input method", mozc_ready, timeout=30)

    def input_contexts(self):
        """fcitx5's input contexts as {id: focused}."""
        info = self.dbus_call("org.fcitx.Fcitx5", "/controller",
                              "org.fcitx.Fcitx.Controller1.DebugInfo")
        found = re.findall(r"IC \[(\w+)\].*focus:(\d)", info)
        return {ic: focus == "1" for ic, focus in found}

    def wait_composing(self, where, known=None, window=None, ibus=True):
        """Waits until the input method composes for the focused box. fcitx5 attaches to
        a window only after a box in it has taken the focus, and keys sent before that
        pass by it as plain letters: wait for a focused context, a new one when known
        (the contexts before) is given. ibus holds one context for the whole program,
        focused only while a box that takes the input method has the focus, and passes by
        keys sent before it has focused it: wait for ibus to focus a context other than its
        own (not where the focused part keeps the input method off: ibus=False)."""
        if self.im != "fcitx5":
            if ibus:
                poll(f"ibus to focus the program's input context for {where}",
                     lambda: self.ibus_context() not in (None, self.idle_context))
            return

        began = time.monotonic()

        def attached():
            # A context made earlier for the same window counts once the new one is late.
            fresh = time.monotonic() - began < 5
            return any(focus and not (fresh and ic in (known or {}))
                       for ic, focus in self.input_contexts().items())

        try:
            if window:
                # fcitx5 at times misses the focus of a window it has just made a context
                # for; the focus leaving the window and coming back tells it again.
                try:
                    poll(f"fcitx5 to attach to {where}", attached, timeout=3)
                    return
                except E2EFailure:
                    print(f"note: fcitx5 missed the focus of {where}: focus moved away and "
                          "back", flush=True)
                    self.refocus(window)
            poll(f"fcitx5 to attach to {where}", attached)
        except E2EFailure as failure:
            raise E2EFailure(f"{failure} (contexts before: {sorted(known or {})}, "
                             f"now: {self.input_contexts()})") from None

    def stop(self):
        for name, proc in reversed(self.procs):
            if proc.poll() is None:
                proc.terminate()
        for name, proc in reversed(self.procs):
            try:
                proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()
        self.procs.clear()
        self._stop_marked()

    def _stop_marked(self):
        """Stops what the services started on their own, found by the session marker."""
        wanted = f"{MARKER}={self.token}".encode()
        for sig in (signal.SIGTERM, signal.SIGKILL):
            found = []
            for entry in Path("/proc").iterdir():
                if not entry.name.isdigit() or int(entry.name) == os.getpid():
                    continue
                try:
                    if entry.stat().st_uid != os.getuid():
                        continue
                    environ = (entry / "environ").read_bytes().split(b"\0")
                except OSError:
                    continue
                if wanted in environ:
                    found.append(int(entry.name))
            for pid in found:
                try:
                    os.kill(pid, sig)
                except OSError:
                    pass
            if not found:
                return
            time.sleep(0.5)

    # -- tools ------------------------------------------------------------------------

    def run(self, args, check=True, timeout=20, input=None):
        result = subprocess.run(
            args, env=self.env, capture_output=True, text=True, timeout=timeout, input=input)
        if check and result.returncode != 0:
            raise E2EFailure(f"{' '.join(args)} failed: {result.stderr.strip()}")
        return result

    def dbus_call(self, destination, path, method, *args, bus="--session"):
        return self.run(["dbus-send", bus, "--print-reply", f"--dest={destination}",
                         path, method, *args], check=False).stdout

    def xdotool(self, *args, check=True):
        return self.run(["xdotool", *args], check=check)

    def find_window(self, title):
        """Id of the visible window with exactly this title, or None."""
        out = self.xdotool("search", "--onlyvisible", "--name", f"^{title}$", check=False)
        ids = out.stdout.split()
        return ids[-1] if ids else None

    def wait_window(self, title, timeout=20):
        return poll(f'the window "{title}"', lambda: self.find_window(title), timeout)

    def wait_window_gone(self, title, timeout=20):
        poll(f'the window "{title}" to close', lambda: not self.find_window(title), timeout)

    def focus(self, title):
        """Gives the keyboard focus to a window, as a window manager would on a click:
        there is none on this display."""
        window = self.wait_window(title)
        if self.xdotool("getwindowfocus", check=False).stdout.strip() != window:
            self.xdotool("windowfocus", "--sync", window)
        return window

    def refocus(self, title):
        """Takes the keyboard focus away to the root window and gives it back."""
        window = self.wait_window(title)
        root = re.search(r"Window id: (0x[0-9a-f]+)", self.run(["xwininfo", "-root"]).stdout)
        self.xdotool("windowfocus", str(int(root.group(1), 16)))
        time.sleep(0.2)
        self.xdotool("windowfocus", "--sync", window)

    def geometry(self, window):
        if self.wayland:
            # weston's window manager frames the window: xdotool would give the place in
            # the frame, not on the screen.
            out = self.run(["xwininfo", "-id", window]).stdout
            found = {key: int(re.search(rf"{key}:\s+(-?\d+)", out).group(1))
                     for key in ("Absolute upper-left X", "Absolute upper-left Y",
                                 "Width", "Height")}
            return tuple(found.values())
        out = self.xdotool("getwindowgeometry", "--shell", window).stdout
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def on_outer(self, args, check=True):
        """Runs a tool on the virtual display itself: under a compositor, input and
        pictures go through it as a user's would."""
        saved, self.env = self.env, dict(self.env, DISPLAY=self.outer)
        try:
            return self.run(args, check=check)
        finally:
            self.env = saved

    def keys(self, *keys, delay=40):
        """Sends key presses through XTEST to whatever has the focus."""
        if keys:
            self.on_outer(["xdotool", "key", "--delay", str(delay), *keys])

    def click(self, x, y, button=1):
        if self.wayland:
            # weston's x11 backend does not follow synthetic pointer motion on the virtual
            # display: clicks go to XWayland directly, only keys take the user's path.
            self.xdotool("mousemove", str(x), str(y), "click", str(button))
        else:
            self.on_outer(["xdotool", "mousemove", str(x), str(y), "click", str(button)])

    def screenshot(self, path):
        self.on_outer(["import", "-window", "root", str(path)])

    def set_selection(self, selection, text):
        """Owns the X selection with text until another client takes it or the session ends."""
        proc = self.spawn(["xclip", "-quiet", "-selection", selection], f"xclip-{selection}",
                          stdin=subprocess.PIPE)
        proc.stdin.write(text.encode())
        proc.stdin.close()
        poll(f"the {selection} selection to hold the text",
             lambda: self.get_selection(selection) == text, timeout=10)

    def get_selection(self, selection):
        out = self.run(["xclip", "-o", "-selection", selection], check=False, timeout=5)
        return out.stdout if out.returncode == 0 else None
