"""What a user does through a real input method, and what Pelko must make of it.

Each step sends physical keys (romaji, space to convert, Enter to commit) and names the
counts the status line must then read: accepted characters and errors. The stroke count
must equal every key press sent since the starting space.
"""

import time

from e2e_pelko import FINISHED, WARNING, Pelko, key_presses
from e2e_session import E2EFailure, poll


def word(letters, convert=False, commit=True):
    keys = list(letters)
    if convert:
        keys.append("space")
    if commit:
        keys.append("Return")
    return keys


def expect(what, actual, wanted):
    if actual != wanted:
        raise E2EFailure(f"{what}: {actual!r}, expected {wanted!r}")


class Scenario:
    name = ""
    problem = []
    minutes = 3

    def __init__(self, session, binary, folder, shots):
        self.s = session
        self.pelko = Pelko(session, binary, folder, self.problem, self.minutes)
        self.shots = shots
        self.strokes = 0

    def shot(self, moment):
        path = self.shots / f"{self.s.im}-{self.name}-{moment}.png"
        self.s.screenshot(path)
        return path

    def type_step(self, what, keys, accepted, errors, box=None):
        self.s.keys(*keys)
        self.strokes += key_presses(keys)
        self.pelko.wait_counts(self.strokes, accepted, accepted + errors, what)
        if box is not None:
            self.expect_box(f"after {what}", box)

    def expect_box(self, when, text):
        end = time.monotonic() + 5
        while self.pelko.box_text() != text and time.monotonic() < end:
            time.sleep(0.05)
        expect(f"{when}, the input box", self.pelko.box_text(), text)

    def run(self):
        self.pelko.start()
        try:
            self.pelko.open_practice()
            self.body()
        except E2EFailure:
            self.shot("failure")
            raise
        finally:
            self.pelko.stop()

    def finish_and_read_log(self, started=None):
        """Waits for the closing box, closes it and returns the main log record."""
        self.s.wait_window(FINISHED, timeout=90)
        ended = time.monotonic()
        self.shot("finished")
        self.pelko.close_box(FINISHED)
        record = self.pelko.wait_log_record()
        self.shot("result")
        if started is not None:
            measured = ended - started
            use = int(record["seconds_used"])
            if abs(use - measured) > 2.5:
                raise E2EFailure(f"seconds_used {use} s, but the run took {measured:.1f} s")
        return record

    def check_record(self, record, **wanted):
        for column, value in wanted.items():
            expect(f"main log column {column} in {record['line']}", record[column], value)

    def check_speed(self, record):
        accepted, use = int(record["accepted_chars"]), int(record["seconds_used"])
        speed = round(accepted * 60 / use, 1) if use else 0
        if abs(float(record["chars_per_minute"]) - speed) > 0.051:
            raise E2EFailure(f"chars_per_minute {record['chars_per_minute']}, expected {speed} "
                             f"({accepted} characters in {use} s)")


class PracticeRun(Scenario):
    """A whole problem typed right, with the user entered through the entry dialog."""

    name = "practice"
    # kana, kanji by conversion, full-width digits, a full-width space, a wave dash and a
    # line break; 17 characters: 4 kana, 6 of the full-width symbol block, 7 kanji
    problem = ["日本語の学校２０２４", "　～さくら電車"]

    def body(self):
        # The ID box takes plain letters with the input method off; the name is converted.
        self.pelko.enter_user(id_keys=list("e2e01"), name_keys=word("yamada", convert=True))
        started = self.pelko.start_run()
        self.shot("started")
        self.type_step("日本語 committed at once", word("nihongo", convert=True), 3, 0, "日本語")
        self.type_step("の", word("no"), 4, 0)
        self.type_step("学校", word("gakkou", convert=True), 6, 0)
        self.type_step("２０２４", word("2024"), 9, 0, "日本語の学校２０２４")
        self.type_step("the line break", ["Return"], 9, 0, "")
        self.type_step("the full-width space", ["space"], 10, 0, "□")
        # Mozc commits the wave dash in its JIS form; it is the same character in the file.
        self.type_step("～", ["shift+grave", "Return"], 11, 0, "□～")
        self.type_step("さくら committed at once", word("sakura"), 14, 0)
        composing = word("densha", convert=True, commit=False)
        self.s.keys(*composing)
        self.strokes += key_presses(composing)
        self.pelko.wait_counts(self.strokes, 14, 14, "でんしゃ converted, still in preedit")
        self.expect_box("with 電車 in preedit", "□～さくら")
        self.shot("preedit")
        self.type_step("電車", ["Return"], 15, 0, "□～さくら電車")
        self.type_step("the final Enter", ["Return"], 15, 0)
        record = self.finish_and_read_log(started)
        self.check_record(record, user_id="e2e01", user_name="山田", accepted_chars="15",
                          errors="0", total_chars="17", kanji_chars="7", alphanumeric_chars="6",
                          accuracy="100", file_name="jpn_dat.001")
        self.check_speed(record)
        print(f"  {self.strokes} key presses sent, {self.pelko.counts()[0]} strokes counted; "
              f"main log: {record['line']}", flush=True)


class WrongConversion(Scenario):
    """Committed on purpose without the right conversion: only the wrong characters count."""

    name = "wrong"
    problem = ["にほん日本語の学校"]

    def body(self):
        self.pelko.enter_user()
        started = self.pelko.start_run()
        # にほんご: three right, ご where 日 is due
        self.type_step("にほんご for にほん日", word("nihongo"), 3, 1, "にほん")
        self.type_step("日本語", word("nihongo", convert=True), 6, 1)
        self.type_step("の", word("no"), 7, 1)
        # がっこう where 学校 is due: all four wrong
        self.type_step("がっこう for 学校", word("gakkou"), 7, 5, "にほん日本語の")
        self.shot("errors")
        self.type_step("学校", word("gakkou", convert=True), 8, 5)
        self.type_step("the final Enter", ["Return"], 8, 5)
        record = self.finish_and_read_log(started)
        self.check_record(record, accepted_chars="8", errors="5", accuracy="61.5")
        self.check_speed(record)


class TimeOutInPreedit(Scenario):
    """Time runs out while a phrase is still being composed."""

    name = "timeout"
    problem = ["日本語の学校"]
    minutes = 1

    def body(self):
        self.pelko.enter_user()
        self.pelko.start_run()
        self.type_step("日本語", word("nihongo", convert=True), 3, 0, "日本語")
        # の is the right next character: counting it after the end would show as a 4.
        self.s.keys("n", "o")
        self.strokes += 2
        self.pelko.wait_counts(self.strokes, 3, 3, "の left in preedit")
        self.shot("preedit")
        record = self.finish_and_read_log()
        if int(record["accepted_chars"]) > 3:
            raise E2EFailure(f"accepted_chars {record['accepted_chars']}, expected 3: the preedit "
                             "committed after the end was counted")
        self.check_record(record, accepted_chars="3", errors="0", seconds_used="60", chars_per_minute="3")
        # Keys after the end reach nothing.
        self.s.keys(*word("gakkou", convert=True))
        time.sleep(1)
        got = self.pelko.counts()
        if got != (self.strokes, 3, 3):
            raise E2EFailure(f"after the end the status line reads {got}, expected "
                             f"{(self.strokes, 3, 3)}: input after the end was counted")
        self.expect_box("after the end", "日本語")
        expect("main log lines after the end", len(self.pelko.log_lines()), 1)


class Paste(Scenario):
    """Ctrl+V and the middle button bring nothing into the box."""

    name = "paste"
    problem = ["日本語"]

    def body(self):
        self.pelko.enter_user()
        started = self.pelko.start_run()
        self.s.set_selection("clipboard", "日本語")
        self.s.set_selection("primary", "日本語")
        self.s.keys("ctrl+v")
        self.strokes += 2
        self.s.wait_window(WARNING, timeout=10)
        self.shot("warning")
        self.pelko.close_box(WARNING)
        self.pelko.wait_counts(self.strokes, 0, 0, "Ctrl+V")
        self.expect_box("after Ctrl+V", "")
        poll("the clipboard to be emptied", lambda: not self.s.get_selection("clipboard"),
             timeout=5)
        x, y = self.pelko.box_centre()
        self.s.click(x, y, button=2)
        time.sleep(0.5)
        # An arrow key refreshes the status line and leaves the caret at the end. (Shift
        # alone would not do: fcitx5 switches input methods on it.)
        self.type_step("a middle click and an arrow key", ["Left"], 0, 0, "")
        self.type_step("日本語", word("nihongo", convert=True), 2, 0, "日本語")
        self.type_step("the final Enter", ["Return"], 2, 0)
        record = self.finish_and_read_log(started)
        self.check_record(record, accepted_chars="2", errors="0")


SCENARIOS = [PracticeRun, WrongConversion, TimeOutInPreedit, Paste]
