"""The certificate's checking page (share/pelko/verify.html) seen through headless Chromium.

check_page() loads the page with a code after '#' and reads the verdict, the fields and the
check code back from the dumped DOM.
"""

import shutil
import subprocess
import tempfile
from html.parser import HTMLParser
from pathlib import Path
from urllib.parse import quote

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
