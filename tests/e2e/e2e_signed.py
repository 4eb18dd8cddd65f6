"""A certificate signed with the school's key, checked as anyone who receives it would.

Printed through the cups-pdf queue, the PDF and a rotated, shrunk, noisy photo of it must
check as valid with every field shown; each field changed in the code as altered; another
school's key as unknown; the sheet with its codes cut off as no code. The same code on the
school's checking page in headless Chromium, and the PDF opened in 認定証の確認. The run
and its check code reach the school's results database (a PostgreSQL 15 of the journey's own).
"""

import base64
import os
import shutil
import subprocess
from pathlib import Path

from e2e_certification import CERTIFYING, CertificationJourney
from e2e_database import PG, Server
from e2e_scenarios import expect
from e2e_session import E2EFailure, poll
from verify_page import check_page

CHECK = "認定証の確認"
FILE_DIALOG = "認定証のファイル"
SITE = "E2E高校"
VALID = "有効：この認定証の内容は"


def altered(code, field, value="9"):
    """The code with one of its fields changed and its signature kept."""
    head, fields, key, signature = code.split(".")
    texts = base64.urlsafe_b64decode(fields + "=" * (-len(fields) % 4)).decode().split("\x1f")
    texts[field] = value
    fields = base64.urlsafe_b64encode("\x1f".join(texts).encode()).decode().rstrip("=")
    return ".".join((head, fields, key, signature))


class SignedCertificate(CertificationJourney):
    name = "cert_signed"
    tools = {"chromium": "/usr/bin/chromium", "imagemagick": "/usr/bin/convert",
             "postgresql": str(PG / "initdb")}

    def __init__(self, session, binary, folder, shots):
        super().__init__(session, binary, folder, shots)
        shutil.copy2(Path(binary).parent / "verify.html", self.pelko.app / "verify.html")
        self.keys = Path(folder) / "keys"
        for site, name in (("school", SITE), ("other", "よその学校")):
            self.pelko_command("--site-key", "new", str(self.keys / site), name)
        # The candidate's account may read the key here; the classroom tests cover groups.
        self.database = Server(Path(folder) / "pg")
        ini = self.ini_bytes + (f"[Certificate]\r\nKeyFile={self.keys / 'school/pelko-site.key'}"
                                "\r\nAddress=https://school.example/verify.html\r\n[Database]\r\n"
                                f"Host=127.0.0.1\r\nPort={self.database.port}\r\nName=pelko\r\n"
                                "User=postgres\r\n").encode("cp932")
        self.ini.write_bytes(ini)
        self.ini_bytes = ini
        trusted = Path(folder) / "appdata" / "pelko" / "trusted-keys"
        trusted.mkdir(parents=True)
        shutil.copy2(self.keys / "school/pelko-site.pub", trusted / "school.pub")

    def run(self):
        self.database.start()
        try:
            self.database.create_database()
            self.pelko_command("--db-init")
            super().run()
        finally:
            self.database.stop()

    def pelko_command(self, *args, status=0):
        env = dict(os.environ, PELKO_APPDIR=str(self.pelko.app))
        done = subprocess.run([str(self.pelko.binary), *args], env=env, capture_output=True,
                              text=True, timeout=60)
        if done.returncode != status:
            raise E2EFailure(f"pelko {' '.join(args)[:120]} ended with {done.returncode}, "
                             f"expected {status}: {done.stdout}{done.stderr}")
        return done.stdout

    def verify(self, subject, status, site="school"):
        return self.pelko_command("--verify", str(subject), "--key",
                                  str(self.keys / site / "pelko-site.pub"), status=status)

    def body(self):
        record = self.certify(answer=0)
        pdf = self.print_sheet(self.lpstat_jobs(), self.pdf_files())
        sheet = self.shots / f"{self.s.im}-{self.name}-certificate.pdf"
        shutil.copy2(pdf, sheet)
        pdf.unlink()

        shown = self.verify(sheet, 0)
        speed = round(float(record["chars_per_minute"]))
        for row in (f"ユーザID: {self.user[0]}", f"ユーザ名: {self.user[1]}",
                    f"入力時間: {record['seconds_used']} 秒", "総文字数: 7 文字",
                    "漢字率: 42.9 ％", "入力数: 6 文字", "入力ミス: 0 回", "正打率: 100 ％",
                    f"入力速度: {speed}文字/分", f"記録番号: No. {record['record_number']}",
                    f"署名した学校: {SITE}"):
            if row not in shown:
                raise E2EFailure(f"pelko --verify on the printed sheet does not show {row!r}:"
                                 f"\n{shown}")
        code = next(line[4:] for line in shown.splitlines() if line.startswith("コード: "))
        check = next(line[7:] for line in shown.splitlines() if line.startswith("確認コード: "))
        expect("the printed certificate in the results database", poll(
            "the check code on the server", lambda: self.database.sql(
                "SELECT check_code || '|' || run_kind || '|' || record_number FROM "
                "pelko_certificates JOIN pelko_runs USING (run_id)") or None, timeout=20),
            f"{check}|certification|{record['record_number']}")

        page = sheet.with_suffix("")
        subprocess.run(["pdftoppm", "-r", "200", "-gray", "-png", "-singlefile", str(sheet),
                        str(page)], check=True, timeout=60)
        photo = sheet.with_suffix(".jpg")
        subprocess.run(["convert", f"{page}.png", "-background", "white", "-rotate", "8",
                        "-resize", "60%", "-attenuate", "0.6", "+noise", "Gaussian",
                        "-quality", "80", str(photo)], check=True, timeout=60)
        self.verify(photo, 0)
        for field in range(15):
            self.verify(altered(code, field), 1)
        self.verify(code, 3, site="other")
        # The codes sit at the right edge of both halves.
        cut = sheet.with_name(f"{sheet.stem}-cut.png")
        subprocess.run(["convert", f"{page}.png", "-crop", "70%x100%+0+0", "+repage", str(cut)],
                       check=True, timeout=60)
        self.verify(cut, 4)

        # Every field altered, as markup the page must show as text.
        school_page = self.keys / "school" / "verify.html"
        cases = [(school_page, code, "valid", self.user[1]),
                 (self.keys / "other" / "verify.html", code, "unknown-key", self.user[1]),
                 (school_page, "日本語入力認定証", "no-code", None)]
        cases += [(school_page, altered(code, n, "<b>9</b>"), "altered", None) for n in range(15)]
        for html, text, verdict, name in cases:
            seen = check_page(str(html), text)
            if seen["verdict"] != verdict:
                raise E2EFailure(f"the checking page says {seen['verdict']} ({seen['message']})"
                                 f", expected {verdict}")
            if name and seen["fields"].get("ユーザ名") != name:
                raise E2EFailure(f"the checking page shows {seen['fields']}")
            if verdict == "altered" and not any("<b>9</b>" in v for v in seen["fields"].values()):
                raise E2EFailure(f"the page does not show the altered field as text: {seen}")

        self.check_in_program(sheet)

    def check_in_program(self, sheet):
        """オプション → 認定証の確認 → the PDF opened → the verdict and the fields; its name,
        made to look like markup, shown as it is."""
        sheet = shutil.copy2(sheet, self.keys.parent / "<font color=#006000>有効.pdf")
        self.s.focus(CERTIFYING)
        self.s.keys("alt+o")
        poll("the menu オプション to open", lambda: any(
            a["role"] == "popup menu" and "showing" in a["states"]
            for a in self.accessible()), timeout=5, interval=0.2)
        self.s.keys("v")
        self.s.wait_window(CHECK)
        self.s.focus(CHECK)
        self.s.keys("alt+o")
        self.s.wait_window(FILE_DIALOG)
        self.s.focus(FILE_DIALOG)
        # Pasted: the input method would turn typed letters into kana.
        self.s.set_selection("clipboard", str(sheet))
        self.s.keys("ctrl+a", "ctrl+v", "Return")
        self.s.wait_window_gone(FILE_DIALOG)
        self.wait_accessible("the verdict in 認定証の確認",
                             lambda a: a["window"] == CHECK and a["role"] == "label"
                             and VALID in (a["name"] or a["text"] or ""))
        cells = [a["name"] or a["text"] for a in self.accessible() if a["window"] == CHECK]
        if self.user[1] not in cells or sheet.name not in cells:
            raise E2EFailure(f"{CHECK} shows no field with the candidate's name or not the "
                             f"file's name as it is: {cells}")
        self.shot("check")
        self.s.keys("Escape")
        self.s.wait_window_gone(CHECK)


JOURNEYS = [SignedCertificate]
