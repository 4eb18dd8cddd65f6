"""Journeys where a user used to stumble: a menu left with Escape in the middle of a run,
closing a test window by mistake, a name the log cannot hold, an empty or missing problem
folder and a settings file the program cannot read.

What the user sees is read through the accessibility bus (e2e_accessible); what lands on
disk is read from the program's folder and pelko.log.
"""

import time

from e2e_accessible import caption, enable
from e2e_journeys import SAVED, SETTINGS, Journey, read_ini
from e2e_pelko import ENTRY, FINISHED, MENU, PRACTICE
from e2e_scenarios import expect, word
from e2e_session import E2EFailure, poll

CONFIRM = "確認"
CONFIRM_TEXT = "入力中の結果は破棄されます。画面を閉じてもよろしいですか？"
ERROR = "エラー"
INI_ERROR = "INIエラー"
INI_ERROR_TEXT = "INIファイルの取得に失敗しました！"
KENTEI = "検定(&N)"
# What shows that something did not happen: nothing within this time.
QUIET = 1.5


class StumbleJourney(Journey):

    def open_menus(self):
        """Captions of the menus that show their items now."""
        return [caption(node.parent.name if node.parent else "") or node.role
                for window in self.ax.windows()
                for node in window.find_all(role="popup menu")
                if node.visible and node.centre()]

    def stays_away(self, what, probe, seconds=QUIET):
        """Fails if probe() shows something within these seconds."""
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            found = probe()
            if found:
                raise E2EFailure(f"{what}: {found}")
            time.sleep(0.2)

    def yes_button(self, title):
        box = self.ax.window(title)
        found = box.find(role="push button", where=lambda n: caption(n.name).lower()
                         in ("yes", "はい", "はい(y)")) if box else None
        if found is None:
            buttons = [n.name for n in box.find_all(role="push button")] if box else []
            raise E2EFailure(f'the box "{title}" has no Yes button: {buttons}')
        return found


class MenuEscape(StumbleJourney):
    """The 検定 menu opened with Alt+N and left with Escape in the middle of a run gives the
    keys back to the input box: typing goes on, and an Enter opens no menu."""

    name = "menu-escape"
    problem = ["さくらのはな"]

    def body(self):
        self.pelko.open_practice()
        self.pelko.enter_user()
        self.start_run()
        self.type_step("さ", word("sa"), 1, 0, "さ")
        # Alt and N both reach the box before the menu opens: two strokes.
        self.s.keys("alt+n")
        self.strokes += 2
        poll("Alt+N to open the 検定 menu", lambda: caption(KENTEI) in self.open_menus(),
             timeout=10)
        self.shot("menu")
        self.pelko.wait_counts(self.strokes, 1, 1, "Alt+N")
        # Escape goes to the open menu and is no stroke; the Enter at once after it is one.
        self.s.keys("Escape", "Return")
        self.strokes += 1
        self.stays_away("after Escape and Enter, a menu shows over the run", self.open_menus)
        try:
            self.pelko.wait_counts(self.strokes, 1, 1, "Escape on the menu, then Enter")
        except E2EFailure as failure:
            raise E2EFailure(f"{failure} (the menu bar kept the keys after Escape)") from None
        self.type_step("くら typed after the menu", word("kura"), 3, 0, "さくら")
        if self.s.find_window(FINISHED) or self.pelko.log_lines():
            raise E2EFailure("the run ended after the menu was left with Escape")


class CloseDuringRun(StumbleJourney):
    """Ctrl+F4 closes a waiting test window at once, but asks first during a run: No (the
    default, Enter) goes on typing, Yes closes it and writes no log line."""

    name = "close-run"
    problem = ["さくらのはな"]

    def body(self):
        self.pelko.open_practice()
        self.pelko.enter_user()
        self.s.focus(PRACTICE)
        self.s.keys("ctrl+F4")
        shown = poll("Ctrl+F4 before the space bar to close the test window",
                     lambda: ("asked" if self.s.find_window(CONFIRM) else
                              "closed" if not self.s.find_window(PRACTICE) else None),
                     timeout=10)
        if shown == "asked":
            raise E2EFailure("Ctrl+F4 before the space bar asked 確認 although no run had begun")
        self.s.wait_window(MENU)

        self.pelko.open_practice()
        self.pelko.enter_user()
        self.start_run()
        self.type_step("さ", word("sa"), 1, 0)
        self.ask_to_close("during the run")
        self.shot("confirm")
        # Enter answers the default, No.
        self.s.keys("Return")
        self.expect_closed(CONFIRM, "Enter")
        if not self.s.find_window(PRACTICE):
            raise E2EFailure("Enter (No) on 確認 closed the test window")
        # The focus back on the test window, as a window manager gives it.
        self.s.focus(PRACTICE)
        self.type_step("く typed after No", word("ku"), 2, 0, "さく")

        self.ask_to_close("after No")
        self.ax.click(self.yes_button(CONFIRM), "the Yes button of 確認")
        self.expect_closed(CONFIRM, "Yes")
        self.expect_closed(PRACTICE, "Yes on 確認")
        self.s.wait_window(MENU)
        self.stays_away("after Yes, the discarded run wrote to the main log",
                        self.pelko.log_lines)
        if self.s.find_window(FINISHED):
            raise E2EFailure("after Yes on 確認 the closing box of a finished run showed")

    def ask_to_close(self, when):
        self.s.focus(PRACTICE)
        _, accepted, total = self.pelko.counts()
        # Ctrl and F4 reach the box before the question comes.
        self.s.keys("ctrl+F4")
        self.strokes += 2
        try:
            self.ax.wait_window(CONFIRM, timeout=10)
        except E2EFailure:
            gone = "" if self.s.find_window(PRACTICE) else " and the test window closed"
            raise E2EFailure(f"Ctrl+F4 {when} asked nothing{gone}") from None
        expect(f'the text of the box "{CONFIRM}"', self.ax.message_box(CONFIRM), CONFIRM_TEXT)
        self.pelko.wait_counts(self.strokes, accepted, total, f"Ctrl+F4 {when}")
        self.s.focus(CONFIRM)


class UnusableUserId(StumbleJourney):
    """A comma in the user ID is refused before the run; the fixed ID reaches the log."""

    name = "comma-id"
    problem = ["さくら"]
    refusal = "利用者IDに使えない文字「,」が含まれています。"

    def body(self):
        self.pelko.open_practice()
        self.s.focus(ENTRY)
        self.s.wait_composing("the name box", known=self.pelko.contexts_before_entry,
                              window=ENTRY)
        # The ID box keeps the input method off: the comma comes as it is.
        self.s.keys("shift+Tab", "ctrl+a", "e", "2", "e", "comma", "0", "1", "Return")
        box = poll("a box about the comma in the ID",
                   lambda: self.refusal_box() or ("opened" if self.s.find_window(PRACTICE)
                                                  else None), timeout=10)
        if box == "opened":
            raise E2EFailure("the user entry took the ID e2e,01: the test window opened "
                             "without a box about the comma")
        text = "\n".join(t for t in box.labels() if t)
        if not text.startswith(self.refusal):
            raise E2EFailure(f'the box "{ENTRY}" reads {text!r}, expected it to start with '
                             f"{self.refusal!r}")
        self.shot("refused")
        self.ax.click(box.find(role="push button", name="OK"), "the OK button of the box")
        poll("the box to close", lambda: self.refusal_box() is None, timeout=10)
        if self.s.find_window(PRACTICE):
            raise E2EFailure("the test window opened although the ID was refused")
        dialog = self.ax.wait_window(ENTRY, what="the user entry dialog after the box")
        shown = [n.text for n in dialog.find_all(role="text")]
        if "e2e,01" not in shown:
            raise E2EFailure(f"after the box the user entry dialog shows {shown}, expected "
                             "the refused ID e2e,01 still in it")
        # The comma is selected: Backspace takes it out.
        self.s.focus(ENTRY)
        self.s.keys("BackSpace", "Return")
        self.s.wait_window_gone(ENTRY)
        self.s.wait_window(PRACTICE, timeout=30)

        self.start_run()
        # The last character of a problem counts with the closing Enter.
        self.type_step("さくら", word("sakura"), 2, 0)
        self.s.keys("Return")
        record = self.finish(1)[0]
        self.check_record(record, user_id="e2e01", accepted_chars="2")

    def refusal_box(self):
        for window in self.ax.tree(ENTRY):
            if window.visible and any(self.refusal[:8] in (t or "") for t in window.labels()):
                return window
        return None


class EmptyProblemFolder(StumbleJourney):
    """A problem folder without problems is reported once, before the name entry."""

    name = "empty-folder"

    def prepare(self):
        for problem in (self.pelko.app / "PLACTICE").glob("jpn_dat.*"):
            problem.unlink()

    def body(self):
        folder = f"{self.pelko.app / 'PLACTICE'}/"
        wanted = (f"例題文のフォルダ「{folder}」に例題文（jpn_dat.*）がありません。"
                  "環境設定の画面で例題文のフォルダを指定してください")
        self.press_menu_button("練習")
        shown = poll("the report of the empty problem folder",
                     lambda: ("entry" if self.s.find_window(ENTRY) else
                              "error" if self.s.find_window(ERROR) else None), timeout=10)
        if shown == "entry":
            raise E2EFailure(f'the name entry "{ENTRY}" opened for an empty problem folder')
        self.ax.wait_window(ERROR, where=lambda w: bool(self.ax.message_box(ERROR)))
        expect(f'the text of the box "{ERROR}"', self.ax.message_box(ERROR), wanted)
        self.shot("error")
        self.s.focus(ERROR)
        self.s.keys("Return")
        self.expect_closed(ERROR, "Enter")
        self.s.wait_window(MENU)

        def after():
            return [title for title in (ENTRY, ERROR, PRACTICE) if self.s.find_window(title)]

        self.stays_away("after the report was closed, windows opened", after)
        if not self.s.find_window(MENU):
            raise E2EFailure("the main menu is gone after the report")


class MissingProblemFolder(StumbleJourney):
    """A practice folder that is gone, with 環境設定 hidden: the path message and the folder
    chooser come before the name entry, and the folder picked there serves the run."""

    name = "missing-folder"
    chooser = "ディレクトリ参照"

    def prepare(self):
        self.moved = self.pelko.app / "moved"
        (self.pelko.app / "PLACTICE").rename(self.moved)
        ini = self.pelko.app / "pelko.ini"
        ini.write_bytes(ini.read_bytes() + b"[Display]\r\nkankyo=off\r\n")

    def body(self):
        menu = self.ax.window(MENU)
        settings = menu.find(role="push button", name="環境設定") if menu else None
        if settings is not None and settings.visible:
            raise E2EFailure("the main menu shows 環境設定 although kankyo=off")
        # Cancelled, the chooser gives the loader's two boxes and the main menu again.
        self.press_menu_button("練習")
        self.close_message(ERROR, "パスの設定が不正です。データが入っているパスを指定して下さい。")
        self.s.focus(self.chooser)
        self.s.keys("Escape")
        self.close_message(ERROR, "パスの指定が間違っています")
        self.close_message("Pelko", "例題文が読み出せません。"
                                    "環境設定でデータのファイルパスを指定しておいて下さい")
        self.s.wait_window(MENU)
        self.press_menu_button("練習")
        self.ax.wait_window(ERROR, where=lambda w: bool(self.ax.message_box(ERROR)))
        expect(f'the text of the box "{ERROR}"', self.ax.message_box(ERROR),
               "パスの設定が不正です。データが入っているパスを指定して下さい。")
        if self.s.find_window(ENTRY):
            raise E2EFailure("the name entry opened before the folder was settled")
        self.shot("path-error")
        self.s.focus(ERROR)
        self.s.keys("Return")
        self.expect_closed(ERROR, "Enter")
        chooser = self.ax.wait_window(self.chooser, what="the folder chooser")
        # Pasted, so that no input method turns the path into kana.
        self.s.set_selection("clipboard", str(self.moved))
        self.s.focus(self.chooser)
        self.s.keys("ctrl+a", "ctrl+v")
        self.shot("chooser")
        self.ax.click(chooser.find(role="push button", name="OK"), "the chooser's OK button")
        self.s.wait_window_gone(self.chooser)
        self.s.wait_window(ENTRY)
        self.s.focus(ENTRY)
        self.s.keys("Return")
        self.s.wait_window(PRACTICE, timeout=30)
        poll("the hint of a loaded problem", lambda: self.hint() == "スペースバーを押すと開始します")
        self.shot("loaded")
        if self.s.find_window(ERROR):
            raise E2EFailure("an error box showed after the folder was picked")


class UnreadableSettings(StumbleJourney):
    """A duration the settings file cannot hold stops the program with a box and status 1,
    writing nothing."""

    name = "bad-ini"

    def run(self):
        enable(self.s)
        ini = self.pelko.app / "pelko.ini"
        data = ini.read_bytes()
        if b"\r\ntime=3\r\n" not in data:
            raise E2EFailure(f"the journey's pelko.ini has no line time=3: {data!r}")
        # Beyond what the duration can hold: loading refuses the whole file.
        ini.write_bytes(data.replace(b"\r\ntime=3\r\n", b"\r\ntime=99999\r\n"))
        before = self.snapshot()
        self.pelko.launch()
        try:
            self.body(before)
        except E2EFailure:
            self.shot("failure")
            raise
        finally:
            self.pelko.stop()

    def snapshot(self):
        """Every file and folder of the program's folder and of its log folder."""
        return {str(p): (p.read_bytes() if p.is_file() else None, p.stat().st_mtime_ns)
                for top in (self.pelko.app, self.pelko.logs) for p in [top, *top.rglob("*")]}

    def body(self, before):
        proc = self.pelko.proc
        shown = poll(f'the box "{INI_ERROR}"',
                     lambda: ("menu" if self.s.find_window(MENU) else
                              "box" if self.s.find_window(INI_ERROR) else
                              "ended" if proc.poll() is not None else None), timeout=30)
        if shown == "menu":
            raise E2EFailure("the main menu opened with an unreadable pelko.ini")
        if shown == "ended":
            raise E2EFailure(f"the program ended with status {proc.returncode} before any box")
        self.ax.wait_window(INI_ERROR, where=lambda w: bool(self.ax.message_box(INI_ERROR)))
        expect(f'the text of the box "{INI_ERROR}"', self.ax.message_box(INI_ERROR),
               INI_ERROR_TEXT)
        self.shot("box")
        self.s.focus(INI_ERROR)
        self.s.keys("Return")
        try:
            poll("the program to end", lambda: proc.poll() is not None, timeout=10)
        except E2EFailure:
            shown = [t for t in (INI_ERROR, MENU) if self.s.find_window(t)]
            raise E2EFailure(f"the program still runs after Enter on the box; it shows "
                             f"{shown}") from None
        if proc.returncode != 1:
            how = (f"killed by signal {-proc.returncode}" if proc.returncode < 0 else
                   f"ended with status {proc.returncode}")
            raise E2EFailure(f"after the box the program {how}, expected status 1")
        after = self.snapshot()
        changed = sorted(name for name in set(before) | set(after)
                         if before.get(name) != after.get(name))
        if changed:
            raise E2EFailure(f"the program wrote into its folder: {changed}")


class ClassFolderAway(StumbleJourney):
    """The class's log folder away at start: 保存して終了 once it is back keeps it in pelko.ini."""

    name = "class-folder-away"

    def run(self):
        enable(self.s)
        self.pelko.logs.rename(self.pelko.folder / "away")
        self.pelko.launch()
        try:
            self.ax.wait_window(ERROR, timeout=30)  # ログのパス指定が間違っています
            self.s.focus(ERROR)
            self.s.keys("Return")
            self.s.wait_window(MENU)
            (self.pelko.folder / "away").rename(self.pelko.logs)
            self.press_menu_button(SETTINGS)
            self.ax.click(self.ax.wait_window(SETTINGS).find(role="push button", name="保存して終了"),
                          "保存して終了")
            self.close_message(SAVED, "ＩＮＩファイルに書き出しました")
            ini = read_ini((self.pelko.app / "pelko.ini").read_bytes())
            expect("the log folders in pelko.ini after 保存して終了",
                   [v for s, k, v in ini if k == "Path"], [f"{self.pelko.logs}/"] * 2)
        finally:
            self.pelko.stop()


JOURNEYS = [MenuEscape, CloseDuringRun, UnusableUserId, EmptyProblemFolder, MissingProblemFolder,
            UnreadableSettings, ClassFolderAway]
