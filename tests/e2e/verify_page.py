"""The certificate's verification page (share/pelko/verify.html) seen through headless Chromium.

check_page() loads the page with a code after '#' and reads the verdict, the fields and the
check code back from the dumped DOM. add_trusted_key() writes a public key into a copy of the
page the way the program does. Run as a script, it signs sample certificates inside Chromium
(WebCrypto has Ed25519, Python's standard library has not) and checks the page's verdicts.
Exit 77 when Chromium is missing.
"""

import base64
import json
import shutil
import subprocess
import sys
import tempfile
from html.parser import HTMLParser
from pathlib import Path
from urllib.parse import quote

MARKER = "/*PELKO-TRUSTED-KEYS*/"
PAGE = Path(__file__).resolve().parents[2] / "share" / "pelko" / "verify.html"
VOID = {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "source", "wbr"}


class _Tree(HTMLParser):
    """Just enough of a DOM: nodes are (tag, attrs, children), text is a plain string."""

    def __init__(self, html):
        super().__init__(convert_charrefs=True)
        self.root = ("", {}, [])
        self.open = [self.root]
        self.feed(html)
        self.close()

    def handle_starttag(self, tag, attrs):
        node = (tag, dict(attrs), [])
        self.open[-1][2].append(node)
        if tag not in VOID:
            self.open.append(node)

    def handle_endtag(self, tag):
        for depth in range(len(self.open) - 1, 0, -1):
            if self.open[depth][0] == tag:
                del self.open[depth:]
                return

    def handle_data(self, data):
        self.open[-1][2].append(data)


def _nodes(node):
    yield node
    for child in node[2]:
        if not isinstance(child, str):
            yield from _nodes(child)


def _text(node):
    if node is None:
        return ""
    return "".join(c if isinstance(c, str) else _text(c) for c in node[2])


def _by_id(root, ident):
    return next((n for n in _nodes(root) if n[1].get("id") == ident), None)


def _dump_dom(url, chromium):
    profile = tempfile.mkdtemp(prefix="pelko-chromium-")
    try:
        run = subprocess.run([chromium, "--headless", "--no-sandbox", "--disable-gpu",
                              "--virtual-time-budget=5000", f"--user-data-dir={profile}",
                              "--dump-dom", url],
                             capture_output=True, text=True, timeout=60, check=False)
    finally:
        shutil.rmtree(profile, ignore_errors=True)
    if run.returncode != 0 or "<html" not in run.stdout:
        raise RuntimeError(f"chromium failed ({run.returncode}): {run.stderr[-500:]}")
    return _Tree(run.stdout).root


def check_page(html_path, payload_text, chromium="chromium"):
    """What the page says about payload_text put after '#' in its address."""
    # Spaces and the like would not survive the command line; the page decodes them again.
    url = Path(html_path).resolve().as_uri() + "#" + quote(payload_text, safe=":/#.-_~?=&")
    root = _dump_dom(url, chromium)
    verdict = _by_id(root, "verdict")
    fields = {}
    for row in _nodes(_by_id(root, "fields") or ("", {}, [])):
        if row[0] == "tr" and "data-field" in row[1]:
            cells = {n[0]: n for n in _nodes(row) if n[0] in ("th", "td")}
            fields[_text(cells.get("th"))] = _text(cells.get("td"))
    return {"verdict": verdict[1].get("data-verdict") if verdict else None,
            "message": _text(verdict).strip(),
            "fields": fields,
            "check_code": _text(_by_id(root, "check-code")).strip()}


def add_trusted_key(template_path, out_path, key_id, public_key_b64u, site):
    """A copy of the page that trusts one more key; returns out_path."""
    html = Path(template_path).read_text(encoding="utf-8")
    if html.count(MARKER) != 1:
        raise ValueError(f"{template_path}: expected the key marker exactly once")
    # '<' escaped so that no label can close the script element.
    entry = json.dumps({"id": key_id, "key": public_key_b64u, "site": site},
                       ensure_ascii=False, separators=(",", ":")).replace("<", "\\u003c")
    Path(out_path).write_text(html.replace(MARKER, entry + "," + MARKER), encoding="utf-8")
    return out_path


# --- self-test ---------------------------------------------------------------------------

LABELS = ["ユーザID", "ユーザ名", "認定日時", "データ名", "入力時間", "総文字数", "漢字率",
          "英数・記号率", "入力数", "入力ミス", "正打率", "入力速度", "レベル", "記録番号", "使用ＰＣ"]
SAMPLE = ["s0042", "山田太郎", "202612091643", "ワープロ課題３.txt", "600", "1234", "25.3", "4.1",
          "1250", "7", "99.4", "123.4", "1", "17", "教室PC-01"]
SHOWN = dict(zip(LABELS, ["s0042", "山田太郎", "2026-12-09 16:43", "ワープロ課題３.txt", "600 秒",
                          "1234 文字", "25.3 ％", "4.1 ％", "1250 文字", "7 回", "99.4 ％",
                          "123.4文字/分", "ワープロ検定１級レベル", "No. 17", "教室PC-01"]))
OPENINGS = {"valid": "有効：", "altered": "改ざん：", "unknown-key": "不明な鍵：", "no-code": "コードなし："}

SIGNER = """<!DOCTYPE html><meta charset="utf-8"><pre id="out">failed</pre><script>
const fields = FIELDS;
const b64u = b => btoa(String.fromCharCode(...new Uint8Array(b)))
  .replace(/\\+/g, '-').replace(/\\//g, '_').replace(/=+$/, '');
(async () => {
  const pair = await crypto.subtle.generateKey({name: 'Ed25519'}, true, ['sign', 'verify']);
  const raw = await crypto.subtle.exportKey('raw', pair.publicKey);
  const id = b64u((await crypto.subtle.digest('SHA-256', raw)).slice(0, 6));
  const signed = 'PK1.' + b64u(new TextEncoder().encode(fields.join('\\u001f'))) + '.' + id;
  const sig = await crypto.subtle.sign({name: 'Ed25519'}, pair.privateKey,
                                      new TextEncoder().encode(signed));
  document.getElementById('out').textContent =
    JSON.stringify({key: b64u(raw), id, payload: signed + '.' + b64u(sig)});
})().catch(e => { document.getElementById('out').textContent = 'failed: ' + e; });
</script>"""


def _b64u(data):
    return base64.urlsafe_b64encode(data).rstrip(b"=").decode()


def _crockford(sig_b64u):
    value = int.from_bytes(base64.urlsafe_b64decode(sig_b64u + "==")[:5], "big")
    code = "".join("0123456789ABCDEFGHJKMNPQRSTVWXYZ"[(value >> s) & 31] for s in range(35, -1, -5))
    return code[:4] + "-" + code[4:]


def _sign(folder, chromium):
    """A fresh key pair in Chromium; its public key, key id and the signed SAMPLE."""
    page = Path(folder) / "sign.html"
    page.write_text(SIGNER.replace("FIELDS", json.dumps(SAMPLE)), encoding="utf-8")
    out = _text(_by_id(_dump_dom(page.as_uri(), chromium), "out"))
    if not out.startswith("{"):
        raise RuntimeError(f"signing page: {out}")
    return json.loads(out)


def _with_field(payload, index, value):
    """The same key id and signature over a certificate with one field changed."""
    head, f, k, s = payload.split(".")
    fields = base64.urlsafe_b64decode(f + "==").decode().split("\x1f")
    fields[index] = value
    return ".".join([head, _b64u("\x1f".join(fields).encode()), k, s])


def self_test(chromium):
    if not shutil.which(chromium):
        print(f"SKIP: {chromium} not found")
        return 77
    with tempfile.TemporaryDirectory() as tmp:
        a, b = _sign(tmp, chromium), _sign(tmp, chromium)
        one = add_trusted_key(PAGE, f"{tmp}/one.html", a["id"], a["key"], "第一高校")
        both = add_trusted_key(one, f"{tmp}/both.html", b["id"], b["key"], "第二高校 <b>")
        mislabelled = add_trusted_key(PAGE, f"{tmp}/mislabelled.html", a["id"], b["key"], "取り違え")
        sig = a["payload"].rsplit(".", 1)[1]
        # The last character holds 2 bits of the signature and 4 zero bits: +16 changes the
        # signature alone, +1 only bits an encoder never sets.
        last = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_"
        flipped, stray = (a["payload"][:-1] + last[(last.index(sig[-1]) + n) % 64] for n in (16, 1))
        valid_a = {"verdict": "valid", "fields": SHOWN, "check_code": _crockford(sig)}
        cases = [
            ("valid", one, a["payload"], valid_a),
            ("address of a school's page", one,
             "https://school.example/verify.html#" + a["payload"], valid_a),
            ("second key added", both, b["payload"], {"verdict": "valid"}),
            ("key of another site", one, b["payload"], {"verdict": "unknown-key", "fields": SHOWN}),
            ("no key configured", PAGE, a["payload"], {"verdict": "unknown-key"}),
            ("key id not of its key", mislabelled, a["payload"], {"verdict": "unknown-key"}),
            ("signature changed", one, flipped, {"verdict": "altered", "fields": SHOWN}),
            ("stray bits in the signature", one, stray, {"verdict": "altered"}),
            ("code cut short", one, a["payload"][:-10], {"verdict": "altered", "check_code": ""}),
            ("no code", one, "こんにちは hello PK1 world", {"verdict": "no-code"}),
        ] + [(f"field {i} {LABELS[i]} changed", one,
              _with_field(a["payload"], i, "<b>x</b>" if i == 3 else SAMPLE[i] + "0"),
              {"verdict": "altered", "fields": {"データ名": "<b>x</b>"} if i == 3 else {}})
             for i in range(len(LABELS))]
        failures = 0
        for name, page, text, want in cases:
            got = check_page(page, text, chromium)
            wrong = [f"{key} {got[key]!r}, want {value!r}" for key, value in want.items()
                     if (key != "fields" and got[key] != value)
                     or (key == "fields" and any(got[key].get(k) != v for k, v in value.items()))]
            if not got["message"].startswith(OPENINGS.get(got["verdict"], "?")):
                wrong.append(f"message {got['message']!r}")
            if (got["verdict"] in ("valid", "unknown-key")
                    and text.split(".")[-2] not in got["message"]):
                wrong.append(f"key id missing from {got['message']!r}")
            if len(got["fields"]) != (0 if got["verdict"] == "no-code" else 15):
                wrong.append(f"{len(got['fields'])} fields shown")
            failures += bool(wrong)
            print(("FAIL " if wrong else "ok   ") + name + "".join("\n     " + w for w in wrong))
    print(f"{len(cases) - failures}/{len(cases)} cases passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(self_test(sys.argv[1] if len(sys.argv) > 1 else "chromium"))
