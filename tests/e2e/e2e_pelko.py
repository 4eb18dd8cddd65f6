"""Pelko in a folder of its own, driven through the windows a user sees."""

import re
import shutil
import time
from pathlib import Path

from e2e_session import E2EFailure, poll

MENU = "Pelko メインメニュー"
ENTRY = "利用者登録"
PRACTICE = "練習中"
FINISHED = "終了"
WARNING = "注意"

# Main log columns, in file order.
LOG_COLUMNS = ("record_number", "date", "time", "user_id", "user_name", "computer_name", "login_name",
               "file_name", "chars_per_minute", "accuracy", "errors", "accepted_chars", "total_chars",
               "kanji_chars", "alphanumeric_chars", "seconds_used")

STATUS = re.compile(r"ストローク:(\d+)  入力:(\d+)/(\d+)$")


def key_presses(keys):
    """Physical presses behind xdotool key names: "shift+grave" is two."""
    return sum(len(k.split("+")) for k in keys)


def romaji(word):
    """xdotool key names for a word of lower-case letters and digits."""
    return list(word)


class Pelko:
    # Further environment for the program (a printer server, accessibility), set per run.
    extra_env = {}

    def __init__(self, session, binary, folder, problem_lines, minutes=3):
        self.s = session
        self.folder = Path(folder)
        self.app = self.folder / "app"
        self.logs = self.folder / "logs"
        self.status_file = self.folder / "status.txt"
        self.proc = None
        for sub in (self.app / "DATA", self.app / "PLACTICE", self.logs):
            sub.mkdir(parents=True, exist_ok=True)
        problem = "\r\n".join(problem_lines).encode("cp932") + b"\r\n"
        for sub in ("DATA", "PLACTICE"):
            (self.app / sub / "jpn_dat.001").write_bytes(problem)
        ini = (f"[default]\r\ntime={minutes}\r\ngspd=25\r\ndata={self.app / 'DATA'}\r\n"
               f"testdata={self.app / 'PLACTICE'}\r\nSortMode=SEQUENCE\r\n"
               f"[MainLog]\r\nPath={self.logs}\r\nName=pelko.log\r\n"
               f"[Sublog]\r\nPath={self.logs}\r\nFlag=0\r\n")
        (self.app / "pelko.ini").write_bytes(ini.encode("cp932"))
        self.binary = self.app / "pelko"
        shutil.copy2(binary, self.binary)

    # -- program ---------------------------------------------------------------------

    def start(self):
        self.launch()
        try:
            self.s.wait_window(MENU, timeout=30)
        except E2EFailure as failure:
            if self.s.wayland:
                raise E2EFailure(f"{failure} on the XWayland display: did the program open "
                                 "its windows as a Wayland client?") from None
            raise

    def launch(self):
        """Starts the program without waiting for any window of it."""
        env = dict(self.s.env)
        env.update({
            "PELKO_APPDIR": str(self.app),
            "APPDATA": str(self.folder / "appdata"),
            "PELKO_E2E_STATUS_FILE": str(self.status_file),
        })
        # Under a compositor the program must choose XWayland by itself.
        if not self.s.wayland:
            env["QT_QPA_PLATFORM"] = "xcb"
        env.update(self.extra_env)
        if self.s.im == "ibus":
            env["QT_IM_MODULE"] = "ibus"
        else:
            env["QT_IM_MODULE"] = "fcitx"
            env["XMODIFIERS"] = "@im=fcitx"
        saved, self.s.env = self.s.env, env
        try:
            self.proc = self.s.spawn([str(self.binary)], f"pelko-{self.folder.name}")
        finally:
            self.s.env = saved

    def stop(self):
        if self.proc and self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(timeout=5)
            except Exception:
                self.proc.kill()
                self.proc.wait()

    def open_practice(self):
        """Main menu → 練習: returns once the user entry dialog is up."""
        self.contexts_before_entry = self.s.input_contexts() if self.s.im == "fcitx5" else {}
        menu = self.s.find_window(MENU)
        x, y, w, _ = self.s.geometry(menu)
        self.s.click(x + w // 2, y + 28)  # the first button of the column
        self.s.wait_window(ENTRY)

    def enter_user(self, id_keys=None, name_keys=None):
        """In the entry dialog: optionally retype the ID and type a name, then Enter."""
        self.s.focus(ENTRY)
        self.s.wait_composing("the name box", known=self.contexts_before_entry, window=ENTRY)
        if id_keys is not None:
            self.s.keys("shift+Tab", "ctrl+a", *id_keys, "Tab")
            self.s.wait_composing("the name box again")
        if name_keys:
            self.s.keys(*name_keys)
        self.s.keys("Return")
        self.s.wait_window_gone(ENTRY)
        self.s.wait_window(PRACTICE, timeout=30)

    def start_run(self):
        """The space bar starts the run; returns the monotonic time of the start."""
        self.s.focus(PRACTICE)
        known = self.s.input_contexts() if self.s.im == "fcitx5" else {}
        started = time.monotonic()
        self.s.keys("space")
        poll("the run to start after the space bar", self.status_file.exists, timeout=10)
        self.s.wait_composing("the input box", known, window=PRACTICE)
        return started

    # -- what the program shows --------------------------------------------------------

    def state(self):
        try:
            text = self.status_file.read_text(encoding="utf-8")
        except OSError:
            return {}
        return dict(line.split("=", 1) for line in text.splitlines() if "=" in line)

    def counts(self):
        """(strokes, accepted, accepted + errors) from the live status line."""
        m = STATUS.search(self.state().get("status", ""))
        return tuple(int(v) for v in m.groups()) if m else None

    def wait_counts(self, strokes, accepted, total, what, timeout=10):
        """Waits for the status line to read these counts; fails saying which fault shows."""
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            if self.counts() == (strokes, accepted, total):
                return
            time.sleep(0.05)
        got = self.counts()
        if got is None:
            raise E2EFailure(f"after {what}: no status line")
        reasons = []
        if got[0] < strokes:
            reasons.append(f"strokes {got[0]} < {strokes} keys sent: key presses consumed by "
                           "the input method were not counted")
        elif got[0] > strokes:
            reasons.append(f"strokes {got[0]} > {strokes} keys sent: a key press was counted "
                           "twice")
        if got[1] != accepted:
            hint = (": a commit of several characters was counted as fewer characters"
                    if got[1] < accepted else "")
            reasons.append(f"accepted characters {got[1]}, expected {accepted}{hint}")
        if got[2] - got[1] != total - accepted:
            reasons.append(f"errors {got[2] - got[1]}, expected {total - accepted}")
        raise E2EFailure(f"after {what}: status line reads {got}, expected "
                         f"{(strokes, accepted, total)}; " + "; ".join(reasons))

    def box_text(self):
        return self.state().get("box", "")

    def box_centre(self):
        x, y = self.state()["centre"].split(",")
        return int(x), int(y)

    def close_box(self, title):
        """Closes a message box with Enter, as a user would."""
        self.s.focus(title)
        self.s.keys("Return")
        self.s.wait_window_gone(title)
        self.s.focus(PRACTICE)
        # After the run's end the window waits for the space bar with the input method off.
        self.s.wait_composing("the input box again", ibus=title != FINISHED)

    def log_lines(self):
        path = self.logs / "pelko.log"
        if not path.exists():
            return []
        data = path.read_bytes()
        return [line for line in data.decode("cp932").split("\r\n") if line]

    def wait_log_record(self):
        lines = poll("the main log line", self.log_lines, timeout=15)
        if len(lines) != 1:
            raise E2EFailure(f"the main log holds {len(lines)} lines, expected 1: {lines}")
        values = lines[0].split(",")
        if len(values) != len(LOG_COLUMNS):
            raise E2EFailure(f"the main log line has {len(values)} columns: {lines[0]}")
        record = dict(zip(LOG_COLUMNS, (v.strip('"') for v in values)))
        record["line"] = lines[0]
        return record
