"""Journeys of a certification: the printer check, the self-assessment, the certificate.

The program prints to a cups-pdf queue of a private scheduler (e2e_cups.py) and reads out
what it shows through AT-SPI (e2e_accessible.py): message box texts, the result line, the
enabled state of the print menu items.
"""

import importlib.util
import os
import pwd
import re
import shutil
import subprocess
import time
from pathlib import Path

from e2e_accessible import Accessible, enable
from e2e_cups import QUEUE, UNAVAILABLE, WITH_PRINTER, WITHOUT_PRINTER
from e2e_pelko import ENTRY, FINISHED, MENU, PRACTICE
from e2e_scenarios import Scenario, expect, word
from e2e_session import E2EFailure, poll

CERTIFYING = "検定中"
SELF_ASSESSMENT = "確認です。あなたはどれに当てはまりますか？"
ANSWERS = ("タイピングには自信がある！練習はもう十分！", "大体は合格するぐらいのレベルはなった",
           "練習もしていないし、キーボード打つのも苦手")
ADVICE = ("それでは、まず練習してみてください。形式は本番と同じなので合格範囲内になったら検定を"
          "受けてください")
APP_TITLE = "Pelko"
CONFIRM = "印刷確認"
CONFIRM_TEXT = "印刷を行います。よろしいですか？"
NO_PRINTER = "プリンタ数のエラー"
NO_PRINTER_TEXT = "認定には最低1台のプリンタが必要です。プリンタのインストールを行ってください"
PRINT_ITEM = "結果の印刷"
PRINTER_ITEM = "プリンタの選択"
WEAK = "苦手な文字"
# What shows that a key did nothing: no box within this time.
QUIET = 1.5

# 7 characters: 日本語 by conversion, の and さくら as kana.
PROBLEM = ["日本語のさくら"]


def pdf_folder():
    """Where cups-pdf puts this user's jobs: "Out" of its configuration, home from passwd."""
    out = "${HOME}/PDF"
    conf = Path("/etc/cups/cups-pdf.conf")
    if conf.exists():
        for line in conf.read_text(errors="replace").splitlines():
            if line.startswith("Out "):
                out = line[4:].strip()
    return Path(out.replace("${HOME}", pwd.getpwuid(os.getuid()).pw_dir))


class CertificationJourney(Scenario):
    problem = PROBLEM
    gspd = 1
    printer = WITH_PRINTER
    tools = {}

    @classmethod
    def unavailable(cls):
        if os.environ.get(UNAVAILABLE):
            return f"no printer to print to: {os.environ[UNAVAILABLE]}"
        if not os.environ.get(cls.printer):
            return "no private CUPS scheduler: the root part of the suite starts it"
        if not importlib.util.find_spec("pyatspi"):
            return "not installed: python3-pyatspi (scripts/deps.sh test installs it)"
        if not shutil.which("at-spi-bus-launcher", path="/usr/libexec:/usr/lib/at-spi2-core"):
            return "not installed: at-spi2-core"
        gone = [name for name, path in cls.tools.items() if not Path(path).exists()]
        if gone:
            return f"not installed: {', '.join(gone)} (scripts/deps.sh test installs them)"
        return None

    def __init__(self, session, binary, folder, shots):
        super().__init__(session, binary, folder, shots)
        self.ini = self.pelko.app / "pelko.ini"
        ini = self.ini.read_bytes().replace(b"gspd=25\r\n", f"gspd={self.gspd}\r\n".encode())
        self.ini.write_bytes(ini)
        self.ini_bytes = ini
        self.server = os.environ.get(self.printer, "")
        enable(session)
        self.pelko.extra_env = {"CUPS_SERVER": self.server}
        self.pdfs = pdf_folder()

    def run(self):
        pdfs_before = self.pdf_files()
        self.pelko.start()
        try:
            self.body()
            expect("pelko.ini after the journey (the program must not rewrite it)",
                   self.ini.read_bytes(), self.ini_bytes)
        except E2EFailure:
            self.shot("failure")
            Accessible(self.s).save(self.shots / f"{self.s.im}-{self.name}-accessible.jsonl")
            for pdf in self.new_pdfs(pdfs_before):
                shutil.copy2(pdf, self.shots / f"{self.s.im}-{self.name}-{pdf.name}")
            raise
        finally:
            self.pelko.stop()
            for pdf in self.new_pdfs(pdfs_before):
                pdf.unlink()

    # -- what a screen reader sees -------------------------------------------------------

    def accessible(self):
        return Accessible(self.s).flat()

    def wait_accessible(self, what, match, timeout=15):
        """The first accessible object that match accepts, once the program shows it."""
        return poll(what, lambda: next((a for a in self.accessible() if match(a)), None),
                    timeout=timeout, interval=0.3)

    def box_says(self, title, text):
        """Fails unless the message box titled title shows text."""
        try:
            self.wait_accessible(f'the text of the box "{title}"',
                                 lambda a: a["window"] == title and a["role"] == "label"
                                 and text in (a["name"], a["text"]), timeout=10)
        except E2EFailure:
            shown = [a["name"] or a["text"] for a in self.accessible()
                     if a["window"] == title and a["role"] == "label"]
            raise E2EFailure(f'the box "{title}" shows {shown}, expected "{text}"') from None

    def menu_item(self, caption):
        found = self.wait_accessible(f'the menu item "{caption}"',
                                     lambda a: a["role"] == "menu item"
                                     and a["name"].startswith(caption))
        return "enabled" in found["states"] and "sensitive" in found["states"]

    def seconds_left(self):
        """The test window's clock: the three labels after its frame 残り時間 (m, ":", s)."""
        seen = self.accessible()
        at = next((i for i, a in enumerate(seen) if a["name"] == "残り時間"), None)
        if at is None:
            raise E2EFailure("the test window shows no clock (残り時間)")
        minutes, _, seconds = (a["name"] for a in seen[at + 1:at + 4])
        return int(minutes) * 60 + int(seconds)

    def result_line(self):
        found = self.wait_accessible("the result line", lambda a: a["role"] == "label"
                                     and "あなたの入力速度は" in (a["name"] or a["text"]))
        return found["name"] or found["text"]

    # -- the certification -------------------------------------------------------------

    def press_main_button(self, index):
        """Clicks a button of the main menu's column (0 = practice, 1 = certification)."""
        self.s.focus(MENU)
        x, y, w, _ = self.s.geometry(self.s.find_window(MENU))
        self.s.click(x + w // 2, y + 28 + 56 * index)

    def enter_user(self, user_id="e2e07", name=("yamada", "山田")):
        self.s.wait_window(ENTRY)
        self.s.focus(ENTRY)
        self.s.keys("shift+Tab", "ctrl+a", *user_id, "Tab")
        self.s.wait_composing("the name box")
        self.s.keys(*word(name[0], convert=True))
        self.s.keys("Return")
        self.s.wait_window_gone(ENTRY)
        self.user = (user_id, name[1])

    def answer_self_assessment(self, answer, double_click=False):
        """Picks one of the three answers, with the arrow keys and Enter or a double click."""
        self.s.wait_window(SELF_ASSESSMENT)
        self.s.focus(SELF_ASSESSMENT)
        options = [self.wait_accessible(f'the answer "{caption}"',
                                        lambda a, c=caption: a["role"] == "radio button"
                                        and a["name"] == c) for caption in ANSWERS]
        checked = [i for i, o in enumerate(options) if "checked" in o["states"]]
        expect("the answer chosen when the self-assessment opens", checked, [2])
        if double_click:
            x, y = options[answer]["centre"]
            self.s.xdotool("mousemove", str(x), str(y), "click", "--repeat", "2", "1")
        else:
            self.s.keys(*["Up"] * (2 - answer), "Return")
        # The advice comes while the dialog is still up.
        advice = poll(f'the answer "{ANSWERS[answer]}" to close the self-assessment',
                      lambda: ("advice" if self.s.find_window(APP_TITLE) else
                               "closed" if not self.s.find_window(SELF_ASSESSMENT) else None))
        if (advice == "advice") != (answer == 2):
            raise E2EFailure(f'the answer "{ANSWERS[answer]}" ' +
                             ("brought a box" if answer != 2 else "brought no advice box") +
                             f' "{APP_TITLE}"')
        if answer == 2:
            self.box_says(APP_TITLE, ADVICE)
            self.shot("advice")
            self.s.focus(APP_TITLE)
            self.s.keys("Return")
            self.s.wait_window_gone(APP_TITLE)
        self.s.wait_window_gone(SELF_ASSESSMENT)

    def expect_test_window(self, title):
        other = PRACTICE if title == CERTIFYING else CERTIFYING
        found = poll(f'the test window "{title}"',
                     lambda: self.s.find_window(title) or self.s.find_window(other), timeout=30)
        if found == self.s.find_window(other):
            raise E2EFailure(f'the test window is titled "{other}", expected "{title}"')
        if self.s.find_window(APP_TITLE):
            raise E2EFailure(f'a box "{APP_TITLE}" is open over the test window')

    def type_problem(self, title, miss=False):
        """Space, the problem typed through the input method, Enter, the closing box; with
        miss, あ typed first where 日 is due."""
        self.s.focus(title)
        self.s.keys("space")
        poll("the run to start after the space bar", self.pelko.status_file.exists, timeout=10)
        errors = 1 if miss else 0
        if miss:
            self.type_step("あ where 日 is due", word("a"), 0, 1)
        self.type_step("日本語", word("nihongo", convert=True), 3, errors, "日本語")
        self.type_step("の", word("no"), 4, errors)
        # The last character of a line is never counted.
        self.type_step("さくら", word("sakura"), 6, errors, "日本語のさくら")
        # A run under a second scores no speed: let the clock show some seconds gone.
        poll("the clock to count down 3 seconds", lambda: self.seconds_left() <= 180 - 3,
             timeout=10, interval=0.3)
        self.type_step("the final Enter", ["Return"], 6, errors)
        self.s.wait_window(FINISHED, timeout=30)
        self.s.focus(FINISHED)
        self.s.keys("Return")
        self.s.wait_window_gone(FINISHED)
        record = self.pelko.wait_log_record()
        self.check_record(record, user_id=self.user[0], user_name=self.user[1], accepted_chars="6",
                          errors=str(errors), total_chars="7", kanji_chars="3",
                          alphanumeric_chars="0", accuracy="85.7" if miss else "100")
        self.shot("result")
        return record

    def certify(self, answer=0, double_click=False, miss=False):
        """Main menu → certification → entry → self-assessment → 検定中 → typed → result."""
        self.press_main_button(1)
        self.enter_user()
        self.answer_self_assessment(answer, double_click)
        self.expect_test_window(CERTIFYING)
        return self.type_problem(CERTIFYING, miss)

    # -- printing -----------------------------------------------------------------------

    def lpstat_jobs(self, which="all"):
        """Job ids of the queue: "all", or "completed" ones only."""
        env = dict(self.s.env, CUPS_SERVER=self.server, LC_ALL="C")
        out = subprocess.run(["lpstat", "-W", which, "-o", QUEUE], env=env,
                             capture_output=True, text=True, timeout=20)
        return [line.split()[0] for line in out.stdout.splitlines() if line.strip()]

    def pdf_files(self):
        """{file: time written}: job numbers start again with each scheduler, so a new
        job may write over the file of an earlier run."""
        if not self.pdfs.is_dir():
            return {}
        return {path: path.stat().st_mtime_ns for path in self.pdfs.glob("*.pdf")}

    def new_pdfs(self, before):
        return [path for path, written in self.pdf_files().items()
                if before.get(path) != written]

    def ask_to_print(self, title, through_menu):
        """Ctrl+P, or the menu 検定 → 結果の印刷 with the keys; True when 印刷確認 opens."""
        self.s.focus(title)
        if through_menu:
            self.s.keys("alt+n")
            poll("the menu 検定 to open", lambda: any(
                a["role"] == "popup menu" and "showing" in a["states"]
                for a in self.accessible()), timeout=5, interval=0.2)
            self.s.keys("p")
        else:
            self.s.keys("ctrl+p")
        try:
            self.s.wait_window(CONFIRM, timeout=QUIET)
            return True
        except E2EFailure:
            if through_menu:
                self.s.keys("Escape", "Escape")
            return False

    def print_sheet(self, jobs, files):
        """Ctrl+P and OK: the one PDF the queue made of it."""
        if not self.ask_to_print(CERTIFYING, through_menu=False):
            raise E2EFailure(f'Ctrl+P opened no box "{CONFIRM}" after a passed certification')
        self.s.focus(CONFIRM)
        self.s.keys("Return")
        self.s.wait_window_gone(CONFIRM)
        if self.s.find_window("印刷エラー"):
            raise E2EFailure(f"printing failed: {self.accessible_texts('印刷エラー')}")

        def printed():
            new = self.new_pdfs(files)
            done = [j for j in self.lpstat_jobs("completed") if j not in jobs]
            if not new or not done:
                return None
            info = subprocess.run(["pdfinfo", str(max(new, key=lambda p: p.stat().st_mtime))],
                                  capture_output=True, text=True)
            return new if info.returncode == 0 else None

        try:
            new = poll("the certificate from the printer queue", printed, timeout=45,
                       interval=0.3)
        except E2EFailure:
            raise E2EFailure(f'OK in the box "{CONFIRM}" printed nothing: no job reached the '
                             f"queue {QUEUE} (jobs before {jobs}, now {self.lpstat_jobs()})"
                             ) from None
        fresh = [j for j in self.lpstat_jobs() if j not in jobs]
        if len(fresh) != 1 or len(new) != 1:
            raise E2EFailure(f"{len(fresh)} new jobs and {len(new)} new PDFs after printing "
                             f"once, expected 1 of each")
        return new[0]

    def expect_no_printing(self, title, why):
        if self.menu_item(PRINT_ITEM) or self.menu_item(PRINTER_ITEM):
            raise E2EFailure(f"{why}: 検定 → {PRINT_ITEM} / {PRINTER_ITEM} are enabled")
        for through_menu in (False, True):
            if self.ask_to_print(title, through_menu):
                self.shot("unexpected-confirmation")
                raise E2EFailure(f"{why}: {'the menu' if through_menu else 'Ctrl+P'} opened "
                                 f'the box "{CONFIRM}"')


class PrintCertificate(CertificationJourney):
    """A passed certification prints a one-page certificate on OK and nothing on Cancel."""

    name = "cert_print"
    tools = {"tesseract-ocr": "/usr/bin/tesseract",
             "tesseract-ocr-jpn": "/usr/share/tesseract-ocr/5/tessdata/jpn.traineddata"}

    def body(self):
        record = self.certify(answer=0)
        line = self.result_line()
        if not line.startswith(f"あなたの入力速度は{record['chars_per_minute']}文字/分です(正打率100%)"):
            raise E2EFailure(f"the result line reads {line!r} after a passed run")
        if not (self.menu_item(PRINT_ITEM) and self.menu_item(PRINTER_ITEM)):
            raise E2EFailure(f"after a passed certification 検定 → {PRINT_ITEM} and "
                             f"{PRINTER_ITEM} are not both enabled")
        jobs, files = self.lpstat_jobs(), self.pdf_files()

        # Cancel first: the job OK sends afterwards must then be the only new one.
        if not self.ask_to_print(CERTIFYING, through_menu=True):
            raise E2EFailure(f'検定 → {PRINT_ITEM} (Alt+N, P) opened no box "{CONFIRM}"')
        self.box_says(CONFIRM, CONFIRM_TEXT)
        self.shot("confirm")
        cancel = self.wait_accessible("the Cancel button of the confirmation",
                                      lambda a: a["window"] == CONFIRM
                                      and a["role"] == "push button"
                                      and a["name"] in ("Cancel", "キャンセル"))
        self.s.click(*cancel["centre"])
        self.s.wait_window_gone(CONFIRM)

        asked = time.strftime("%m-%d-%Y")
        new = self.print_sheet(jobs, files)
        today = time.strftime("%m-%d-%Y")
        self.check_certificate(new, record, {asked, today})

    def accessible_texts(self, title):
        return [a["name"] or a["text"] for a in self.accessible()
                if a["window"] == title and a["role"] == "label"]

    def check_certificate(self, pdf, record, dates):
        """One page: the candidate and the figures of the run, and the copy below."""
        kept = self.shots / f"{self.s.im}-{self.name}-certificate.pdf"
        shutil.copy2(pdf, kept)
        pdf.unlink()
        info = subprocess.run(["pdfinfo", str(kept)], capture_output=True, text=True).stdout
        pages = re.search(r"^Pages:\s+(\d+)", info, re.M)
        expect(f"pages of the certificate {kept.name}", pages and pages.group(1), "1")
        readings = self.read_page(kept)
        speed = round(float(record["chars_per_minute"]))
        # Label and value share a line of the page, so they must follow each other here.
        rows = {"ユーザID": self.user[0], "ユーザ名": self.user[1], "データ名": "jpn_dat.001",
                "入力時間": f"{record['seconds_used']}秒", "総文字数": "7文字", "漢字率": "42.9%",
                "英数・記号率": "0%", "入力数": "6文字", "入力ミス": "0回", "正打率": "100%",
                "あなたの入力速度は": str(speed), "No.": record["record_number"],
                "認定日": dates, "日本語入力認定証": "(控)"}
        wrong = []
        for label, values in rows.items():
            values = values if isinstance(values, set) else {values}
            if not any(ocr_form(label + v) in text for v in values for text in readings):
                wrong.append(f"{label} {' or '.join(sorted(values))}")
        if wrong:
            raise E2EFailure(f"the printed certificate {kept.name} does not show: "
                             f"{'; '.join(wrong)}. Read from the page: {readings!r}")

    def read_page(self, pdf):
        """The page's text as a reader sees it, at two sizes. Text that went through the
        cups-pdf queue keeps no character codes, so the rendered page is read by OCR."""
        readings = []
        for dpi in (300, 200):
            image = pdf.with_name(f"{pdf.stem}-{dpi}")
            subprocess.run(["pdftoppm", "-r", str(dpi), "-gray", "-png", "-singlefile",
                            str(pdf), str(image)], capture_output=True, check=True, timeout=60)
            out = subprocess.run(["tesseract", f"{image}.png", "-", "-l", "jpn+eng"],
                                 capture_output=True, text=True, timeout=120).stdout
            readings.append(ocr_form(out))
        return readings


def ocr_form(text):
    """Text with what OCR of a clean page still confuses made alike: blanks, full-width
    signs, O for 0, points, a 9 read into the % sign."""
    text = re.sub(r"\s+", "", text).replace("％", "%").replace("（", "(").replace("）", ")")
    text = text.replace("O", "0").replace(".", "")
    return re.sub(r"9+%", "%", text)


class FailedCertification(CertificationJourney):
    """A certification below the pass line leaves printing off."""

    name = "cert_failed"
    gspd = 9999

    def body(self):
        jobs = self.lpstat_jobs()
        # A double click on the first answer closes the dialog without a word.
        self.certify(answer=0, double_click=True, miss=True)
        line = self.result_line()
        if "合格範囲は9999文字／分です。次は頑張って下さいね" not in line:
            raise E2EFailure(f"the result line reads {line!r} after a run below the pass line")
        self.expect_no_printing(CERTIFYING, "after a failed certification")
        expect("jobs in the queue", self.lpstat_jobs(), jobs)
        self.expect_no_drill()

    def expect_no_drill(self):
        """検定 → 苦手な文字 shows the miss, but a certification offers no 弱点練習."""
        ax = Accessible(self.s)
        for path in (("検定(&N)",), ("検定(&N)", "苦手な文字(&W)")):
            item = poll(f"the menu item {' → '.join(path)}", lambda path=path: next(
                (i for i in [ax.menu_item(CERTIFYING, *path)]
                 if i and i.visible and i.centre()), None), timeout=10)
            ax.click(item, " → ".join(path))
        self.s.wait_window(WEAK)
        self.wait_accessible("the miss in 苦手な文字", lambda a: a["window"] == WEAK
                             and a["role"] == "label" and a["name"] == "「日」→「あ」")
        buttons = sorted(a["name"].replace("&", "") for a in self.accessible()
                         if a["window"] == WEAK and a["role"] == "push button")
        expect("the buttons of 苦手な文字 after a certification", buttons,
               ["ヘルプ(H)", "閉じる(C)"])
        self.s.focus(WEAK)
        self.s.keys("Escape")
        self.s.wait_window_gone(WEAK)


class SelfAssessment(CertificationJourney):
    """The first two answers go on to the certification; the third turns it into practice."""

    name = "cert_self_assessment"

    def body(self):
        for answer in (0, 1):
            self.press_main_button(1)
            self.enter_user()
            self.answer_self_assessment(answer)
            self.expect_test_window(CERTIFYING)
            self.s.focus(CERTIFYING)
            self.s.keys("ctrl+F4")
            self.s.wait_window_gone(CERTIFYING)
            self.s.wait_window(MENU)
        self.press_main_button(1)
        self.enter_user()
        self.answer_self_assessment(2)
        self.expect_test_window(PRACTICE)
        record = self.type_problem(PRACTICE)
        line = self.result_line()
        if not line.startswith(f"あなたの入力速度は{record['chars_per_minute']}文字/分です"):
            raise E2EFailure(f"the result line reads {line!r} after a passed run")
        self.expect_no_printing(PRACTICE, "after a passed run turned into practice")


class NoPrinter(CertificationJourney):
    """Without a printer the certification is refused; practice still works."""

    name = "cert_no_printer"
    printer = WITHOUT_PRINTER

    def body(self):
        self.press_main_button(1)
        shown = poll(f'the box "{NO_PRINTER}"',
                     lambda: next((t for t in (NO_PRINTER, ENTRY) if self.s.find_window(t)), None))
        if shown != NO_PRINTER:
            raise E2EFailure(f'with no printer installed the certification button opened '
                             f'"{shown}" instead of the box "{NO_PRINTER}"')
        self.box_says(NO_PRINTER, NO_PRINTER_TEXT)
        self.shot("no-printer")
        self.s.focus(NO_PRINTER)
        self.s.keys("Return")
        self.s.wait_window_gone(NO_PRINTER)
        for title in (ENTRY, SELF_ASSESSMENT, CERTIFYING):
            if self.s.find_window(title):
                raise E2EFailure(f'the window "{title}" opened although no printer is installed')
        self.s.wait_window(MENU)
        self.press_main_button(0)
        self.enter_user()
        self.expect_test_window(PRACTICE)
        self.s.focus(PRACTICE)
        self.s.keys("space")
        poll("the practice run to start after the space bar", self.pelko.status_file.exists,
             timeout=10)
        expect("main log lines", self.pelko.log_lines(), [])


JOURNEYS = [PrintCertificate, FailedCertification, SelfAssessment, NoPrinter]
