"""Journeys through the menus: settings, ranking, help, giving up, the next problem, the clock.

What the user sees is read through the accessibility bus (e2e_accessible); what lands on
disk is read from pelko.ini and pelko.log.
"""

import re
import time

from e2e_accessible import Accessible, caption, enable
from e2e_pelko import FINISHED, LOG_COLUMNS, MENU, PRACTICE
from e2e_scenarios import Scenario, expect, word
from e2e_session import E2EFailure, poll

SETTINGS = "環境設定"
SAVED = "成功"
RANKING = "ランキング情報"
BROWSER = "成績一覧"
CSV_DIALOG = "CSVに書き出す"
HELP = "Pelko ヘルプ"
ABOUT = "Pelkoのﾊﾞｰｼﾞｮﾝ情報"
WAITING_HINT = "スペースバーを押すと開始します"
NEXT = "次の問題へ(&N)"
WEAK = "苦手な文字"
DRILL = "弱点練習(&D)"


class Journey(Scenario):
    """A user's path through Pelko's windows, starting at the main menu."""

    problem = ["さくら"]

    def __init__(self, session, binary, folder, shots):
        super().__init__(session, binary, folder, shots)
        self.ax = Accessible(session)

    def prepare(self):
        """Files to set up before the program starts."""

    def run(self):
        enable(self.s)
        self.prepare()
        self.pelko.start()
        try:
            self.body()
        except E2EFailure:
            self.shot("failure")
            self.ax.save(self.shots / f"{self.s.im}-{self.name}-accessible.jsonl")
            raise
        finally:
            self.pelko.stop()

    # -- moving about -------------------------------------------------------------------

    def press_menu_button(self, name):
        """A button of the main menu, clicked where it is."""
        def found():
            menu = self.ax.window(MENU)
            return menu.find(role="push button", name=name) if menu else None

        button = poll(f'the main menu button "{name}"', found)
        self.ax.click(button, f'the main menu button "{name}"')

    def choose(self, title, *path):
        """Clicks through the menus of a window, as a user opens them one after another."""
        for depth in range(1, len(path) + 1):
            steps = " → ".join(path[:depth])

            def shown():
                item = self.ax.menu_item(title, *path[:depth])
                return item if item and item.visible and item.centre() else None

            item = poll(f'the menu item "{steps}" to show', shown, timeout=10)
            if not item.enabled:
                raise E2EFailure(f'the menu item "{steps}" is disabled')
            self.ax.click(item, f'the menu item "{steps}"')

    def close_message(self, title, text):
        """Reads a message box, then closes it with Enter."""
        self.ax.wait_window(title, what=f'the box "{title}"',
                            where=lambda w: bool(self.ax.message_box(title)))
        expect(f'the text of the box "{title}"', self.ax.message_box(title), text)
        self.s.focus(title)
        self.s.keys("Return")
        self.expect_closed(title, "Enter")

    def expect_closed(self, title, how):
        try:
            self.s.wait_window_gone(title, timeout=10)
        except E2EFailure:
            raise E2EFailure(f'{how} did not close the window "{title}"') from None

    def close_test_window(self):
        self.choose(PRACTICE, "検定(&N)", "閉じる(&C)")
        self.expect_closed(PRACTICE, "検定 → 閉じる")
        self.s.wait_window(MENU)

    def start_run(self):
        """The space bar, with the status file of an earlier run out of the way."""
        self.pelko.status_file.unlink(missing_ok=True)
        self.strokes = 0
        try:
            return self.pelko.start_run()
        except E2EFailure as failure:
            focused = self.s.xdotool("getwindowfocus", "getwindowname", check=False)
            raise E2EFailure(f"{failure}; the keyboard focus is on "
                             f"{focused.stdout.strip()!r}, the hint reads {self.hint()!r}, "
                             f"the clock {self.clock()!r}") from None

    # -- the test window ------------------------------------------------------------------

    def test_window(self):
        window = self.ax.window(PRACTICE)
        if window is None:
            raise E2EFailure(f'no readable window "{PRACTICE}"')
        return window

    def panel_labels(self, name):
        panel = self.test_window().find(role="panel", name=name)
        return panel.labels() if panel else []

    def clock(self):
        """The clock as it reads, "3:0"."""
        return "".join(self.panel_labels("残り時間"))

    @staticmethod
    def seconds(clock):
        m = re.fullmatch(r"(\d+):(\d+)", clock)
        return int(m.group(1)) * 60 + int(m.group(2)) if m else None

    def info_line(self):
        labels = self.panel_labels("例題文の情報")
        return labels[0] if labels else ""

    def hint(self):
        labels = self.test_window().labels()
        return labels[labels.index("ヒント") + 1] if "ヒント" in labels else None

    def wait_clock_below(self, seconds, what):
        """Lets the clock run until it shows fewer seconds left than this; returns what it
        then shows."""
        shown = self.clock()
        left = self.seconds(shown)
        if left is None:
            raise E2EFailure(f"the clock reads {shown!r} ({what})")

        def below():
            text = self.clock()
            now = self.seconds(text)
            return text if now is not None and now < seconds else None

        return poll(f"the clock to count down below {seconds} s ({what}); it read "
                    f"{left} s", below, timeout=max(0, left - seconds) + 10, interval=0.25)

    def expect_waiting(self, when, clock, info):
        """The problem is ready and waits for the space bar, with a full clock."""
        expect(f"{when}, the hint", self.hint(), WAITING_HINT)
        expect(f"{when}, the clock", self.clock(), clock)
        expect(f"{when}, the information line", self.info_line(), info)

    def time_menu_caption(self):
        submenu = self.ax.menu_item(PRACTICE, "オプション(&O)", "時間の設定(&T)")
        items = submenu.find_all(role="menu item") if submenu else []
        items = [item for item in items if item is not submenu]
        return [(item.name, item.checked) for item in items]

    # -- files -------------------------------------------------------------------------

    def log_records(self):
        records = []
        for line in self.pelko.log_lines():
            values = line.split(",")
            if len(values) != len(LOG_COLUMNS):
                raise E2EFailure(f"the main log line has {len(values)} columns: {line}")
            record = dict(zip(LOG_COLUMNS, (v.strip('"') for v in values)))
            record["line"] = line
            records.append(record)
        return records

    def wait_log_records(self, count):
        poll(f"{count} main log line(s)", lambda: len(self.pelko.log_lines()) >= count,
             timeout=15)
        records = self.log_records()
        if len(records) != count:
            raise E2EFailure(f"the main log holds {len(records)} lines, expected {count}: "
                             f"{[r['line'] for r in records]}")
        return records

    def finish(self, count):
        """The closing box, then the main log's lines."""
        self.close_message(FINISHED, "お疲れ様でした")
        return self.wait_log_records(count)


def read_ini(data):
    """(section, key, value) of every key line of pelko.ini bytes: CP932 with CR LF."""
    if b"\n" in data.replace(b"\r\n", b"") or b"\r" in data.replace(b"\r\n", b""):
        raise E2EFailure(f"pelko.ini has a line not ended by CR LF: {data!r}")
    if data and not data.endswith(b"\r\n"):
        raise E2EFailure("pelko.ini does not end with CR LF")
    try:
        text = data.decode("cp932")
    except UnicodeDecodeError as error:
        raise E2EFailure(f"pelko.ini is not CP932: {error}") from None
    entries, section = [], None
    for line in text.split("\r\n"):
        if line.startswith("[") and line.endswith("]"):
            section = line[1:-1]
        elif "=" in line:
            key, value = line.split("=", 1)
            entries.append((section, key, value))
        elif line.strip():
            raise E2EFailure(f"pelko.ini holds a line that is neither section nor key: {line!r}")
    return entries


def colour_pixels(session, shot, box, colour):
    """How many pixels of the screenshot inside box (x, y, w, h) have this colour (#RRGGBB)."""
    x, y, w, h = box
    out = session.run(["convert", str(shot), "-crop", f"{w}x{h}+{x}+{y}", "+repage",
                       "-format", "%c", "histogram:info:-"]).stdout
    for line in out.splitlines():
        if f"#{colour.upper()}" in line.upper():
            return int(line.split(":", 1)[0].strip())
    return 0


class Settings(Journey):
    """環境設定: a new duration by the scroll bar and a background colour through the colour
    dialog, saved to pelko.ini and in force in the next run."""

    name = "settings"
    # the colour typed into the colour dialog, and how the settings file writes it
    colour, literal = "#cc6633", "&H3366CC"

    def prepare(self):
        # A log folder with a Japanese name: the settings file must hold it in CP932.
        ini = self.pelko.app / "pelko.ini"
        logs = self.pelko.folder / "ログ"
        logs.mkdir()
        text = ini.read_bytes().decode("cp932")
        if text.count(f"={self.pelko.logs}\r") != 2:
            raise E2EFailure(f"the journey's pelko.ini does not name the log folder twice: {text}")
        ini.write_bytes(text.replace(f"={self.pelko.logs}\r", f"={logs}\r").encode("cp932"))
        self.pelko.logs = logs

    def body(self):
        ini = self.pelko.app / "pelko.ini"
        before = read_ini(ini.read_bytes())
        self.press_menu_button("環境設定")
        dialog = self.ax.wait_window(SETTINGS)
        group = dialog.find(role="panel", name="制限時間")
        bar = group.find(role="scroll bar") if group else None
        if bar is None:
            raise E2EFailure("the settings dialog shows no duration scroll bar")
        expect("the duration shown at first", group.labels(), ["3", "分"])
        # The bar stands upside down: up is more time. A click on its upper arrow (a square
        # at its top end) gives it the focus as well, so the Up key then reaches it.
        x, y, w, _ = bar.box
        self.s.focus(SETTINGS)
        self.s.click(x + w // 2, y + w // 2)
        self.wait_duration_label("4", "a click on the upper arrow of the duration bar")
        self.s.keys("Up")
        self.wait_duration_label("5", "the Up key on the duration bar")

        back = dialog.find(role="panel", name="背景")
        self.ax.click(back.find(role="push button", name="選択"), "the background colour button")
        chooser = poll("the colour dialog", lambda: self.colour_dialog(), timeout=10)
        html = chooser.find(role="text", name="HTML:")
        expect("the colour dialog starts from the stored colour", html.text, "#e0e0e0")
        # The input method would compose the letters: the value comes in by the clipboard.
        self.s.set_selection("clipboard", self.colour)
        self.ax.click(html, "the HTML field of the colour dialog")
        self.s.keys("ctrl+a", "ctrl+v")
        poll("the HTML field to take the pasted colour",
             lambda: (self.colour_dialog() or html).find(role="text", name="HTML:").text
             == self.colour, timeout=5)
        self.s.keys("Return")
        poll("the colour dialog to close", lambda: self.colour_dialog() is None, timeout=10)
        self.ax.wait_window(SETTINGS, what=f"the background colour box to show {self.literal}",
                            where=lambda w: w.find(role="text", name="背景色").text
                            == self.literal, timeout=5)
        self.shot("changed")

        save = self.ax.window(SETTINGS).find(role="push button", name="保存して終了")
        self.ax.click(save, "保存して終了")
        self.close_message(SAVED, "ＩＮＩファイルに書き出しました")
        self.expect_closed(SETTINGS, "保存して終了")
        self.check_ini(before, read_ini(ini.read_bytes()))

        self.pelko.open_practice()
        self.pelko.enter_user()
        self.ax.wait_window(PRACTICE, where=lambda w: self.clock() != "",
                            what="the test window's clock")
        expect("the test window's clock after the new duration was saved", self.clock(), "5:0")
        expect("the time menu after the new duration was saved", self.time_menu_caption(),
               [("5分", True)])
        self.check_background()

    def wait_duration_label(self, minutes, after):
        def shown():
            dialog = self.ax.window(SETTINGS)
            group = dialog.find(role="panel", name="制限時間") if dialog else None
            return group.labels()[0] if group and group.labels() else None

        try:
            poll("the duration label", lambda: shown() == minutes, timeout=5)
        except E2EFailure:
            raise E2EFailure(f"after {after}, the duration label shows {shown()!r}, expected "
                             f"{minutes!r}") from None

    def colour_dialog(self):
        for window in self.ax.windows():
            if window.role == "dialog" and window.visible and window.find(name="HTML:"):
                return window
        return None

    def check_ini(self, before, after):
        app, logs = self.pelko.app, self.pelko.logs
        wanted = {
            ("default", "time"): "5", ("default", "chtm"): "0", ("default", "gspd"): "25",
            # loading ends the folders with a slash, and saving writes them so
            ("default", "data"): f"{app / 'DATA'}/",
            ("default", "testdata"): f"{app / 'PLACTICE'}/",
            ("default", "paper"): "9", ("default", "SortMode"): "SEQUENCE",
            ("BackGround", "BackColor"): self.literal, ("BackGround", "Mode"): "0",
            ("BackGround", "ProblemBackColor"): "&HFFFFFF",
            ("BackGround", "ProblemColor"): "&H000000",
            ("MainLog", "Path"): f"{logs}/", ("MainLog", "Name"): "pelko.log",
            ("Sublog", "Path"): f"{logs}/", ("Sublog", "Name"): "pksub.log",
            ("Sublog", "Flag"): "0", ("Ranking", "mode"): "0",
            ("Font", "Base"): "13", ("Font", "Return"): "3", ("Font", "Result"): "11",
            ("Window", "Width"): "80",
        }
        got = {}
        for section, key, value in after:
            if (section, key) in got:
                raise E2EFailure(f"pelko.ini holds [{section}] {key} twice")
            got[(section, key)] = value
        wrong = [f"[{s}] {k}={got.get((s, k), '(missing)')} (expected {v})"
                 for (s, k), v in wanted.items() if got.get((s, k)) != v]
        extra = [f"[{s}] {k}={v}" for (s, k), v in got.items() if (s, k) not in wanted]
        if wrong or extra:
            raise E2EFailure("pelko.ini after saving: " + "; ".join(
                wrong + [f"unexpected {e}" for e in extra]))
        # Keys that were there keep their places.
        order = [(s, k) for s, k, _ in after]
        kept = [(s, k) for s, k, _ in before]
        if sorted(kept, key=order.index) != kept:
            raise E2EFailure(f"saving reordered the keys of pelko.ini: {kept} became {order}")

    def check_background(self):
        window = self.s.find_window(PRACTICE)
        box = self.s.geometry(window)
        shot = self.shot("next-run")
        count = colour_pixels(self.s, shot, box, self.colour[1:])
        # The background shows around the two child windows: tens of thousands of pixels.
        if count < 5000:
            raise E2EFailure(f"the test window shows {count} pixels of the saved background "
                             f"colour {self.literal} (RGB {self.colour}); see {shot.name}")



class Ranking(Journey):
    """Two practice runs by two users, a fast one and a slow one with an error: the ranking
    lists both, best first, from the test window's menu and from the main menu."""

    name = "ranking"

    def body(self):
        fast = self.practice_run(list("fast01"), word("yamada", convert=True),
                                 slow=False, count=1)
        self.close_test_window()
        slow = self.practice_run(list("slow02"), word("satou"), slow=True, count=2)
        if not float(fast["chars_per_minute"]) > float(slow["chars_per_minute"]):
            raise E2EFailure(f"the fast run logged speed {fast['chars_per_minute']}, the slow one "
                             f"{slow['chars_per_minute']}")
        wanted = [tuple(r[c] for c in ("user_id", "user_name", "date", "chars_per_minute",
                                       "accuracy", "seconds_used")) for r in (fast, slow)]

        self.choose(PRACTICE, "オプション(&O)", "ランキング情報")
        self.check_ranking("opened from the test window's menu", "ranking-test", wanted)
        self.close_test_window()
        self.press_menu_button("ランキング")
        self.check_ranking("opened from the main menu", "ranking-menu", wanted)

    def practice_run(self, id_keys, name_keys, slow, count):
        self.pelko.open_practice()
        self.pelko.enter_user(id_keys=id_keys, name_keys=name_keys)
        self.start_run()
        if slow:
            self.type_step("あ where さ is due", word("a"), 0, 1)
        self.type_step("さくら", word("sakura"), 2, 1 if slow else 0)
        # The clock has to run a little, or the run takes no time at all.
        self.wait_clock_below(174 if slow else 179, "a pause before the last Enter")
        self.s.keys("Return")
        record = self.finish(count)[-1]
        self.check_record(record, user_id="".join(id_keys), accepted_chars="2",
                          errors="1" if slow else "0")
        return record

    def check_ranking(self, how, moment, wanted):
        window = self.ax.wait_window(RANKING, what=f"the ranking window {how}")
        labels = window.labels()
        rows = []
        for n in range(1, 11):
            if f"{n}:" not in labels:
                raise E2EFailure(f"the ranking window {how} has no row {n}: {labels}")
            at = labels.index(f"{n}:")
            rows.append(tuple(labels[at + 1:at + 7]))
        self.shot(moment)
        blank = ("",) * 6
        expect(f"the ranking {how}, rows 1 and 2 (ID, name, date, speed, rate, time)",
               rows[:2], wanted)
        expect(f"the ranking {how}, rows 3 to 10", rows[2:], [blank] * 8)
        back = window.find(role="push button", name="閉じる")
        self.ax.click(back, "the ranking window's return button")
        self.expect_closed(RANKING, "its return button")


class ResultsBrowser(Ranking):
    """Two practice runs; the ranking window's 成績一覧 shows both records, the user filter
    keeps one, and CSVに書き出す writes that one through the file dialog."""

    name = "results-browser"

    def body(self):
        fast = self.practice_run(list("fast01"), word("yamada", convert=True),
                                 slow=False, count=1)
        self.close_test_window()
        slow = self.practice_run(list("slow02"), word("satou"), slow=True, count=2)
        self.choose(PRACTICE, "オプション(&O)", "成績一覧(&L)")
        self.ax.wait_window(BROWSER, what="the results browser from the test window's menu")
        expect("the records the browser lists from the test window (user IDs)",
               self.settled_ids("both records in the table", ["fast01", "slow02"]),
               ["fast01", "slow02"])
        self.ax.click(self.ax.window(BROWSER).find(role="push button", name="閉じる"),
                      "the results browser's button 閉じる")
        self.expect_closed(BROWSER, "its button 閉じる")
        self.close_test_window()
        self.press_menu_button("ランキング")
        ranking = self.ax.wait_window(RANKING, what="the ranking window")
        self.ax.click(ranking.find(role="push button", name="成績一覧(&L)"),
                      "the ranking window's button 成績一覧")
        self.ax.wait_window(BROWSER, what="the results browser")
        expect("the records the browser lists (user IDs)",
               self.settled_ids("both records in the table", ["fast01", "slow02"]),
               ["fast01", "slow02"])

        # The filter box takes the ID from the clipboard: no input method in the way.
        self.s.set_selection("clipboard", "slow")
        self.ax.click(self.ax.window(BROWSER).find(role="text", name="利用者"), "the user filter")
        self.s.keys("ctrl+a", "ctrl+v")
        # The status bar counts the rows left; the export below shows which they are. (The
        # accessible table can lag behind a filter here.)
        expect("the browser's status bar after filtering",
               self.settled_status("表示 1 件"), "2 件の記録\u3000／\u3000表示 1 件")
        self.shot("browser-filtered")

        target = self.pelko.folder / "export.csv"
        target.unlink(missing_ok=True)
        self.ax.click(self.ax.window(BROWSER).find(role="push button", name="CSVに書き出す(&S)..."),
                      "the button CSVに書き出す")
        self.ax.wait_window(CSV_DIALOG, what="the export dialog")
        self.s.set_selection("clipboard", str(target))
        self.s.focus(CSV_DIALOG)
        self.s.keys("ctrl+a", "ctrl+v", "Return")
        self.expect_closed(CSV_DIALOG, "Enter in the file name")
        data = poll("the CSV file", lambda: target.exists() and target.read_bytes(), timeout=10)
        expect("the exported CSV, byte for byte", data, self.csv_of([slow]))

        # The log itself as the export's file: the dialog's overwrite question, then refused.
        log = self.pelko.logs / "pelko.log"
        before = log.read_bytes()
        self.ax.click(self.ax.window(BROWSER).find(role="push button", name="CSVに書き出す(&S)..."),
                      "the button CSVに書き出す, again")
        self.ax.wait_window(CSV_DIALOG, what="the export dialog, again")
        self.s.set_selection("clipboard", str(log))
        self.s.focus(CSV_DIALOG)
        self.s.keys("ctrl+a", "ctrl+v", "Return")
        self.ax.click(poll("the dialog's overwrite question", self.yes_button, timeout=10),
                      "はい in the overwrite question")
        self.ax.wait_window("エラー", what="the refusal of the log as the export's file")
        expect("the refusal", "ログファイルそのもの" in (self.ax.message_box("エラー") or ""), True)
        self.shot("browser-export-over-log")
        self.s.focus("エラー")
        self.s.keys("Return")
        self.expect_closed("エラー", "Enter")
        expect("the log after the refused export", log.read_bytes(), before)

        # Another program empties the log while it is shown: the table stays readable.
        log.write_bytes(b"")
        table = self.ax.window(BROWSER).find(role="table", name="記録")
        cell = table.find(role="table cell") if table else None
        self.ax.click(cell, "a cell of the table")
        self.s.keys("Down", "Up", "End")
        time.sleep(0.5)
        expect("Pelko after the log was emptied under the browser", self.pelko.proc.poll(), None)
        expect("the record the browser still shows", self.settled_ids("it", ["slow02"]),
               ["slow02"])
        self.shot("browser-log-emptied")

    def yes_button(self):
        for window in self.ax.tree(CSV_DIALOG):
            button = window.find(role="push button",
                                 where=lambda n: caption(n.name) in ("はい(Y)", "はい", "Yes"))
            if button:
                return button
        return None

    def settled(self, what, read, done):
        """What read() gives once done(it) holds, else the last seen. A read of the
        accessibility tree that fails (it can while a table refills) is tried again."""
        seen = [None]

        def probe():
            try:
                seen[0] = read()
            except E2EFailure:
                return False
            return done(seen[0])

        try:
            poll(what, probe, timeout=20)
        except E2EFailure:
            pass
        return seen[0]

    def settled_ids(self, what, wanted):
        """The table's user IDs once they are the wanted ones: the accessibility tree can show
        a row's cells from before a filter for a while."""
        return self.settled(what, self.shown_ids, lambda ids: ids == wanted)

    def settled_status(self, ending):
        def status():
            window = self.ax.window(BROWSER)
            bar = window.find(role="status bar") if window else None
            return bar.name if bar else None

        return self.settled(f"the status bar to end in {ending}", status,
                            lambda text: bool(text) and text.endswith(ending))

    def shown_ids(self):
        window = self.ax.window(BROWSER)
        table = window.find(role="table", name="記録") if window else None
        if table is None:
            return None
        # A cell shows its text through its name; some cells offer an empty text besides.
        cells = [n.text or n.name for n in table.walk() if n.role == "table cell"]
        return sorted(cells[3::17])

    @staticmethod
    def csv_of(records):
        def field(text):
            if any(c in text for c in ',"\r\n'):
                return '"' + text.replace('"', '""') + '"'
            return text

        rows = [["連番", "日付", "時間", "入力ユーザＩＤ", "入力ユーザ名", "使用ＰＣ名",
                 "使用ＰＣユーザ名", "データファイル名", "入力速度(文字/分)", "正打率(%)",
                 "エラー数", "入力文字数", "総文字数", "漢字含有率", "半角文字含有率",
                 "計測時間(秒)", "合否"]]
        for r in records:
            month, day, year = r["date"].split("-")
            row = [r[c] for c in LOG_COLUMNS]
            row[1] = f"{year}-{month}-{day}"
            row.append("合格" if float(r["chars_per_minute"]) >= 25 else "不合格")
            rows.append(row)
        text = "".join(",".join(field(v) for v in row) + "\r\n" for row in rows)
        return b"\xef\xbb\xbf" + text.encode("utf-8")


class BrowserDates(ResultsBrowser):
    """The browser's period typed the way people type dates: digits through Mozc (full width,
    committed with Enter), then with the input method off and slashes; every column shows
    at 1280 pixels, one numbering."""

    name = "browser-dates"
    days = ["12-30-2025", "12-31-2025", "01-02-2026"]

    def prepare(self):
        lines = [f'{n},"{day}","09:00:00","A0{n}","佐藤","PC","u","jpn_dat.001",30,99,0,1,1,'
                 f'1,1,60\r\n' for n, day in enumerate(self.days)]
        (self.pelko.logs / "pelko.log").write_bytes("".join(lines).encode("cp932"))

    def body(self):
        self.press_menu_button("ランキング")
        ranking = self.ax.wait_window(RANKING, what="the ranking window")
        self.ax.click(ranking.find(role="push button", name="成績一覧(&L)"),
                      "the ranking window's button 成績一覧")
        self.ax.wait_window(BROWSER, what="the results browser")
        expect("the status bar at first", self.settled_status("表示 3 件"),
               "3 件の記録\u3000／\u3000表示 3 件")
        self.shot("browser-1280")
        browser = self.ax.window(BROWSER)
        table = browser.find(role="table", name="記録")
        x, _, w, _ = table.box
        headers = [n for n in table.walk() if n.role == "table column header"]
        hidden = [n.name for n in headers if not (n.centre() and x < n.centre()[0] < x + w)]
        if len(headers) != 17 or hidden:
            raise E2EFailure(f"of the table's {len(headers)} columns, these are off screen: "
                             f"{hidden}")
        if any(n.role == "table row header" and n.centre() for n in table.walk()):
            raise E2EFailure("the table numbers its rows beside 連番")

        self.ax.click(browser.find(role="check box"), "the period check box")
        # Mozc is on: the digits compose in full width until Enter commits them.
        self.date_typed("期間の始め", ["ctrl+a", *"20251231", "Return", "Tab"], "表示 2 件")
        self.s.keys("Zenkaku_Hankaku")  # input method off
        self.date_typed("期間の終わり", ["ctrl+a", *"2025", "slash", *"12", "slash", *"31",
                                          "Tab"], "表示 1 件")
        for field in ("期間の始め", "期間の終わり"):
            expect(f"the field {field} once left", self.field_text(field), "2025-12-31")
        # Mozc keeps its mode across programs: back on for the journeys that follow.
        self.ax.click(browser.find(role="text", name="期間の終わり"), "the field 期間の終わり")
        self.s.keys("Zenkaku_Hankaku")

    def date_typed(self, field, keys, status):
        self.ax.click(self.ax.window(BROWSER).find(role="text", name=field), f"the field {field}")
        self.s.keys(*keys)
        expect(f"the status bar after typing into {field}", self.settled_status(status),
               f"3 件の記録\u3000／\u3000{status}")

    def field_text(self, field):
        node = self.ax.window(BROWSER).find(role="text", name=field)
        return node.text if node else None


class HelpAndAbout(Journey):
    """ヘルプ → 目次 opens the help at its contents, which Escape closes; ヘルプ → バージョン情報
    opens the about window, which its OK button closes; the run still waits to start."""

    name = "help"

    def body(self):
        self.pelko.open_practice()
        self.pelko.enter_user()
        self.choose(PRACTICE, "ヘルプ", "目次")
        self.ax.wait_window(HELP, what="the help window")
        # The page's heading is its first line (the full-width space comes as a plain one).
        heading = "Pelko ヘルプ 目次"
        try:
            self.ax.wait_window(HELP, timeout=5, where=lambda w: heading in self.first_lines(w))
        except E2EFailure:
            raise E2EFailure("the help window does not show its contents page, headed "
                             f"\"Pelko ヘルプ　目次\": it shows "
                             f"{self.first_lines(self.ax.window(HELP))}") from None
        self.shot("help")
        self.s.focus(HELP)
        self.s.keys("Escape")
        self.expect_closed(HELP, "Escape")

        self.choose(PRACTICE, "ヘルプ", "バージョン情報")
        about = self.ax.wait_window(ABOUT, what="the about window")
        splash = [w for w in self.ax.windows() if "日本語入力速度測定ソフト" in w.labels()]
        version = splash[0].labels()[splash[0].labels().index("ver") + 1] if splash else None
        labels = about.labels()
        if "Pelko" not in labels:
            raise E2EFailure(f"the about window does not name Pelko: {labels}")
        if not re.fullmatch(r"\d+\.\d+\.\d+", version or ""):
            raise E2EFailure(f"the splash window shows no version: {version!r}")
        if f"ﾊﾞｰｼﾞｮﾝ {version}" not in labels:
            raise E2EFailure(f"the about window does not show \"ﾊﾞｰｼﾞｮﾝ {version}\" as the "
                             f"splash window does: {labels}")
        self.shot("about")
        self.ax.click(about.find(role="push button", name="OK"), "the about window's OK")
        self.expect_closed(ABOUT, "its OK button")
        expect("after help and about, the hint", self.hint(), WAITING_HINT)

    @staticmethod
    def first_lines(window):
        return [" ".join((n.text or "").split("\n")[0].split())
                for n in (window.walk() if window else ()) if n.role == "label"]


class GiveUpAndNext(Journey):
    """SEQUENCE order with two problems: やり直し (Ctrl+E) in the middle of a run brings the
    same problem back untouched; a passing run shows 次の問題へ, which loads the second."""

    name = "next"
    problem = ["さくら"]
    second = "ねこ２"
    first_info = "総文字数:3文字  漢字率:0%  英数記号率:0%  半角率:0%  ストローク:0  入力:0/0"
    second_info = "総文字数:3文字  漢字率:0%  英数記号率:33%  半角率:0%  ストローク:0  入力:0/0"

    def prepare(self):
        (self.pelko.app / "PLACTICE" / "jpn_dat.002").write_bytes(
            self.second.encode("cp932") + b"\r\n")

    def body(self):
        self.pelko.open_practice()
        self.pelko.enter_user()
        self.expect_waiting("at the start", "3:0", self.first_info)
        self.expect_next_menu("before any run", False)

        self.start_run()
        self.type_step("さく", word("saku"), 2, 0)
        self.wait_clock_below(179, "the run under way")
        self.s.focus(PRACTICE)
        self.s.keys("ctrl+e")
        poll("やり直し to bring the problem back", lambda: self.hint() == WAITING_HINT,
             timeout=10)
        self.expect_waiting("after やり直し", "3:0", self.first_info)
        time.sleep(1.5)  # the clock must stand still until the space bar
        expect("1.5 s after やり直し, the clock", self.clock(), "3:0")
        expect("after やり直し, the main log lines", self.pelko.log_lines(), [])
        self.expect_next_menu("after やり直し", False)

        self.start_run()
        self.type_step("さくら", word("sakura"), 2, 0)
        self.wait_clock_below(180, "before the last Enter")
        self.s.keys("Return")
        first = self.finish(1)[0]
        self.check_record(first, file_name="jpn_dat.001", accepted_chars="2")
        self.expect_next_menu("after a passing run", True)

        self.choose(PRACTICE, NEXT)
        poll("次の問題へ to load the next problem",
             lambda: self.info_line() == self.second_info and self.hint() == WAITING_HINT,
             timeout=10)
        self.expect_waiting("after 次の問題へ", "3:0", self.second_info)
        self.expect_next_menu("after 次の問題へ", False)

        self.start_run()
        self.type_step(self.second, word("neko2"), 2, 0)
        self.wait_clock_below(180, "before the last Enter")
        self.s.keys("Return")
        second = self.finish(2)[1]
        self.check_record(second, file_name="jpn_dat.002", accepted_chars="2")

        # One that does not load leaves the window: the space bar starts nothing, 問題 works.
        (self.pelko.app / "PLACTICE" / "jpn_dat.001").write_bytes(b"\r\n")
        self.choose(PRACTICE, NEXT)
        self.close_message("エラー", "例題文に文字がありません。ロードしなおしてください")
        self.pelko.status_file.unlink(missing_ok=True)
        self.s.focus(PRACTICE)
        self.s.keys("space")
        # The 問題 menu opens only after the program has handled the space bar sent before.
        self.choose(PRACTICE, "問題")
        if self.pelko.status_file.exists() or self.clock() != "3:0":
            raise E2EFailure("the space bar started a run on a problem that did not load")
        self.s.keys("Escape")
        self.choose(PRACTICE, "問題", f"jpn_dat.002;{self.second}・・・")
        poll("the 問題 menu to load a problem after the failed one",
             lambda: self.info_line() == self.second_info and self.hint() == WAITING_HINT,
             timeout=10)

    def expect_next_menu(self, when, shown):
        item = self.ax.menu_item(PRACTICE, NEXT)
        if item is None:
            raise E2EFailure("the menu bar has no item 次の問題へ")
        if item.visible != shown:
            raise E2EFailure(f"{when}, 次の問題へ is {'shown' if item.visible else 'hidden'}, "
                             f"expected {'shown' if shown else 'hidden'}")


class Utf8Problem(Journey):
    """A teacher's problem saved as UTF-8 with LF by a Linux editor: the 問題 menu shows its
    title as written, choosing it explains the cause and the command, and 「はい」 converts it
    (the original kept); the converted problem then waits for the space bar."""

    name = "utf8-problem"
    problem = ["さくら"]
    title = "秋の日"
    info = "総文字数:5文字  漢字率:40%  英数記号率:0%  半角率:0%  ストローク:0  入力:0/0"
    question = "UTF-8 の問題ファイル"

    def prepare(self):
        self.path = self.pelko.app / "PLACTICE" / "jpn_dat.002"
        self.path.write_bytes(f"{self.title}\nねこ\n".encode("utf-8"))

    def body(self):
        self.pelko.open_practice()
        self.pelko.enter_user()
        poll("the first problem", lambda: self.hint() == WAITING_HINT, timeout=10)
        self.choose(PRACTICE, "問題", f"jpn_dat.002;{self.title}・・・")
        self.ax.wait_window(self.question, what="the box about the UTF-8 problem file")
        text = self.ax.message_box(self.question)
        for part in ("jpn_dat.002 は UTF-8 で保存されています",
                     "&& mv 'jpn_dat.002' 'utf8-jpn_dat.002' && iconv 'utf8-jpn_dat.002' "
                     "-f UTF-8 -t CP932 > 'jpn_dat.002'", "Shift-JIS に変換しますか"):
            if part not in text:
                raise E2EFailure(f"the box about the UTF-8 file lacks {part!r}: {text!r}")
        self.shot("conversion-question")
        box = self.ax.window(self.question)
        yes = box.find(role="push button",
                       where=lambda n: caption(n.name).lower() in ("yes", "はい", "はい(y)"))
        if yes is None:
            raise E2EFailure("the box about the UTF-8 file has no Yes button")
        self.ax.click(yes, "はい")
        self.expect_closed(self.question, "はい")
        poll("the converted problem to wait for the space bar",
             lambda: self.hint() == WAITING_HINT and self.info_line() == self.info, timeout=10)
        expect("the converted file", self.path.read_bytes(),
               f"{self.title}\r\nねこ\r\n".encode("cp932"))
        expect("the original kept", (self.path.parent / "utf8-jpn_dat.002").read_bytes(),
               f"{self.title}\nねこ\n".encode("utf-8"))
        self.start_run()


class ClockRunsOut(Journey):
    """A 1-minute run with a few characters typed ends by itself after 60 s."""

    name = "clock"
    problem = ["さくらの日本語"]
    minutes = 1

    def body(self):
        self.pelko.open_practice()
        self.pelko.enter_user()
        self.ax.wait_window(PRACTICE, where=lambda w: self.clock() != "",
                            what="the test window's clock")
        expect("before the start, the clock", self.clock(), "1:0")
        expect("before the start, the time menu", self.time_menu_caption(), [("1分", True)])
        started = self.start_run()
        self.type_step("さくら", word("sakura"), 3, 0)
        self.type_step("あ where の is due", word("a"), 3, 1)
        expect("a second after the start, the clock",
               self.wait_clock_below(60, "the first second"), "0:59")
        self.ax.wait_window(FINISHED, timeout=75, what="the closing box at the end of the time")
        ended = time.monotonic() - started
        if not 58.5 <= ended <= 62.5:
            raise E2EFailure(f"the run ended {ended:.1f} s after the space bar, expected 60 s")
        record = self.finish(1)[0]
        self.check_record(record, seconds_used="60", accepted_chars="3", errors="1", chars_per_minute="3",
                          accuracy="75")


class WeakCharactersAndDrill(Journey):
    """A practice run with one miss: 検定 → 苦手な文字 shows the miss and the key presses per
    character; 弱点練習 starts a practice run on a drill made of it, logged as 弱点練習."""

    name = "weak"
    problem = ["さくら"]
    # The line, then さ in its context three times.
    drill_info = "総文字数:14文字"

    def body(self):
        self.pelko.open_practice()
        self.pelko.enter_user()
        self.start_run()
        self.type_step("あ where さ is due", word("a"), 0, 1)
        self.type_step("さくら", word("sakura"), 2, 1)
        self.wait_clock_below(180, "before the last Enter")
        self.s.keys("Return")
        self.strokes += 1
        self.check_record(self.finish(1)[0], file_name="jpn_dat.001", errors="1")

        self.choose(PRACTICE, "検定(&N)", "苦手な文字(&W)")
        window = self.ax.wait_window(WEAK, what="the weak characters window")
        labels = window.labels()
        if "「さ」→「あ」" not in labels:
            raise E2EFailure(f"the weak characters window does not show 「さ」→「あ」: {labels}")
        at = labels.index("全体") if "全体" in labels else None
        ratio = f"{self.strokes / 3:.2f}"
        expect("the row 全体 (characters, strokes, strokes per character)",
               labels[at + 1:at + 4] if at is not None else labels,
               ["3", str(self.strokes), ratio])
        self.shot("weak-characters")

        # Its help button opens the help at the page on it; the window opens again after.
        self.ax.click(window.find(role="push button", name="ヘルプ(&H)"), "the button ヘルプ")
        self.expect_closed(WEAK, "ヘルプ")
        heading = "苦手な文字と弱点練習"
        self.ax.wait_window(HELP, what=f"the help page {heading}", where=lambda w: any(
            heading in line for line in HelpAndAbout.first_lines(w)))
        self.s.focus(HELP)
        self.s.keys("Escape")
        self.expect_closed(HELP, "Escape")
        self.choose(PRACTICE, "検定(&N)", "苦手な文字(&W)")
        window = self.ax.wait_window(WEAK, what="the weak characters window, again")

        drill = window.find(role="push button", name=DRILL)
        if drill is None:
            raise E2EFailure(f"a practice run's weak characters window has no {DRILL} button")
        self.ax.click(drill, f"the button {DRILL}")
        self.expect_closed(WEAK, DRILL)
        poll("弱点練習 to load the drill",
             lambda: self.info_line().startswith(self.drill_info) and self.hint() == WAITING_HINT,
             timeout=10)
        expect("the drill's window title", self.s.find_window(PRACTICE) is not None, True)

        self.start_run()
        self.type_step("さくら", word("sakura"), 2, 0)
        self.type_step("the line's Enter", ["Return"], 2, 0)
        # A line's last character is never counted.
        for n in range(3):
            self.type_step(f"さくら ({n + 1})", word("sakura"), 5 + 4 * n - (n == 2), 0)
            if n < 2:
                self.type_step("a full-width space", ["space"], 6 + 4 * n, 0)
        self.shot("drill-run")
        self.wait_clock_below(180, "before the last Enter")
        self.s.keys("Return")
        record = self.finish(2)[1]
        self.check_record(record, file_name="弱点練習", errors="0", total_chars="14")


JOURNEYS = [Settings, Ranking, ResultsBrowser, BrowserDates, HelpAndAbout, GiveUpAndNext,
            Utf8Problem, ClockRunsOut, WeakCharactersAndDrill]
