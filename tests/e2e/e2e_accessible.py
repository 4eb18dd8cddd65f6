"""What Pelko shows, read through the accessibility bus (AT-SPI) as a screen reader reads it.

Set-up, once per session (enable() does it and may be called again at no cost):
  * Debian packages at-spi2-core (the bus launcher) and python3-pyatspi (the reader);
  * /usr/libexec/at-spi-bus-launcher started in the session, on its D-Bus session bus: it
    owns org.a11y.Bus and hands out the address of the accessibility bus;
  * programs started afterwards get QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 (Qt exports its
    widgets without asking whether a screen reader runs) and lose NO_AT_BRIDGE.
enable() only changes the session's environment: start Pelko after it.

Every question runs this file as a child process in the session's environment
(`python3 e2e_accessible.py dump [TITLE...]`), which prints the tree of Pelko's windows as
JSON; the child gets a fresh view each time, so nothing cached can go stale. pyatspi lives
in Debian's own python3, which the child uses whatever interpreter runs the suite.

    ax = Accessible(session)
    ax.wait_window("環境設定")              # a Node: role, name, text, states, box, children
    ax.texts("ランキング情報")              # texts of its labels, in widget order
    ax.message_box("成功")                  # the text of a message box
    ax.menu_item("練習中", "検定(&N)", "結果の印刷(&P)")  # open or not: .enabled, .visible
    ax.click(node)                          # a click in the middle of what the user sees
    ax.flat()                               # every object as a dict, for searching and dumps

Captions are compared without their access-key "&", as Qt reports them.
"""

import json
import subprocess
import sys
from pathlib import Path

APP_NAME = "Pelko"
PYTHON = "/usr/bin/python3"
LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
PYATSPI = "/usr/lib/python3/dist-packages/pyatspi/__init__.py"
HERE = Path(__file__).resolve().parent


def caption(text):
    return (text or "").replace("&", "")


class Node:
    """One accessible object: a window, a label, a button, a menu item."""

    def __init__(self, data, parent=None):
        self.role = data.get("role", "")
        self.name = data.get("name", "")
        self.text_value = data.get("text")
        self.value = data.get("value")
        self.states = set(data.get("states", ()))
        self.box = tuple(data["box"]) if data.get("box") else None
        self.parent = parent
        self.children = [Node(child, self) for child in data.get("children", ())]

    def __repr__(self):
        return f"<{self.role} {self.name!r}>"

    @property
    def text(self):
        """What the object shows: its text when it has one, else its name."""
        return self.text_value if self.text_value is not None else self.name

    @property
    def enabled(self):
        return "enabled" in self.states or "sensitive" in self.states

    @property
    def visible(self):
        return "visible" in self.states and "showing" in self.states

    @property
    def checked(self):
        return "checked" in self.states

    @property
    def focused(self):
        return "focused" in self.states

    def walk(self):
        yield self
        for child in self.children:
            yield from child.walk()

    def find_all(self, role=None, name=None, where=None):
        """Objects below and including this one with the role, the caption and the test."""
        return [n for n in self.walk()
                if (role is None or n.role == role)
                and (name is None or caption(n.name) == caption(name))
                and (where is None or where(n))]

    def find(self, role=None, name=None, where=None):
        found = self.find_all(role, name, where)
        return found[0] if found else None

    def labels(self):
        """Texts of the labels below, in the order the window made them."""
        return [n.text for n in self.walk() if n.role == "label"]

    def centre(self):
        if not self.box or self.box[2] <= 0 or self.box[3] <= 0:
            return None
        x, y, w, h = self.box
        return x + w // 2, y + h // 2


class Accessible:
    """Questions about Pelko's windows, asked in one session."""

    def __init__(self, session):
        self.s = session

    def tree(self, *titles):
        """Pelko's top-level windows (only those with these titles, when given)."""
        from e2e_session import E2EFailure
        python = PYTHON if Path(PYTHON).exists() else sys.executable
        result = subprocess.run([python, str(HERE / "e2e_accessible.py"), "dump", *titles],
                                env=self.s.env, capture_output=True, timeout=30)
        if result.returncode != 0:
            error = result.stderr.decode("utf-8", "replace").strip().splitlines()
            raise E2EFailure("the accessibility reader failed: "
                             + (error[-1] if error else "no output"))
        return [Node(window) for window in json.loads(result.stdout.decode("utf-8") or "[]")]

    def windows(self):
        return self.tree()

    def save(self, path):
        """Writes what a screen reader sees now to path, a JSON object a line; for the
        report of a failure, so a reader that fails too writes nothing."""
        from e2e_session import E2EFailure
        try:
            path.write_text("".join(json.dumps(a, ensure_ascii=False) + "\n"
                                    for a in self.flat()))
        except E2EFailure:
            pass

    def flat(self):
        """Every object of every window as a dict (window title, role, name, text, states,
        centre), in widget order: for searches across windows and for failure dumps."""
        return [{"window": window.name, "role": n.role, "name": n.name,
                 "text": n.text_value or "", "states": sorted(n.states), "centre": n.centre()}
                for window in self.tree() for n in window.walk()]

    def window(self, title):
        """The showing window with this title, or None."""
        for window in self.tree(title):
            if "showing" in window.states or "visible" in window.states:
                return window
        return None

    def wait_window(self, title, timeout=20, where=None, what=None):
        """Waits for the window (and, when given, for where(window) to hold)."""
        from e2e_session import poll

        def probe():
            window = self.window(title)
            return window if window and (where is None or where(window)) else None

        return poll(what or f'the window "{title}" to be readable', probe, timeout,
                    interval=0.2)

    def texts(self, title):
        window = self.window(title)
        return window.labels() if window else []

    def message_box(self, title):
        """The text of the message box with this title (its labels, without the icon)."""
        window = self.window(title)
        if window is None:
            return None
        return "\n".join(t for t in window.labels() if t)

    def menu_item(self, title, *path):
        """The menu item reached through these captions from the window's menu bar."""
        window = self.window(title)
        if window is None:
            return None
        node = window.find(role="menu bar")
        for step in path:
            if node is None:
                return None
            node = node.find(where=lambda n, step=step: n.role in ("menu item", "menu")
                             and caption(n.name) == caption(step))
        return node

    def click(self, node, what="it"):
        from e2e_session import E2EFailure
        centre = node.centre() if node else None
        if centre is None:
            raise E2EFailure(f"cannot click {what}: it has no place on the screen ({node})")
        self.s.click(*centre)


def enable(session):
    """Starts the accessibility bus in the session, for the programs started afterwards."""
    from e2e_session import E2EFailure, poll
    if session.env.get("QT_LINUX_ACCESSIBILITY_ALWAYS_ON") == "1":
        return
    gone = [package for package, path in (("at-spi2-core", LAUNCHER),
                                          ("python3-pyatspi", PYATSPI))
            if not Path(path).exists()]
    if gone:
        raise E2EFailure(f"not installed: {', '.join(gone)} (scripts/deps.sh test installs "
                         "them)")
    session.spawn([LAUNCHER, "--launch-immediately"], "at-spi-bus")

    def bus_owned():
        reply = session.dbus_call("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                  "org.freedesktop.DBus.NameHasOwner", "string:org.a11y.Bus")
        return "boolean true" in reply

    poll("the accessibility bus launcher", bus_owned, timeout=15)
    session.env.pop("NO_AT_BRIDGE", None)
    session.env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"


# -- the child process ---------------------------------------------------------------

def _dump(titles, limit=4000):
    import pyatspi

    budget = [limit]

    def node(acc, depth):
        budget[0] -= 1
        data = {"role": acc.getRoleName(), "name": acc.name or ""}
        try:
            states = acc.getState().getStates()
            data["states"] = sorted(pyatspi.stateToString(s) or str(s) for s in states)
        except Exception:
            data["states"] = []
        try:
            text = acc.queryText()
            data["text"] = text.getText(0, text.characterCount)
        except NotImplementedError:
            pass
        except Exception:
            pass
        try:
            data["value"] = acc.queryValue().currentValue
        except Exception:
            pass
        if "showing" in data["states"]:
            try:
                box = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
                data["box"] = [box.x, box.y, box.width, box.height]
            except Exception:
                pass
        children = []
        if depth < 40 and budget[0] > 0:
            for i in range(acc.childCount):
                try:
                    child = acc.getChildAtIndex(i)
                except Exception:
                    continue
                if child is not None:
                    children.append(node(child, depth + 1))
        data["children"] = children
        return data

    desktop = pyatspi.Registry.getDesktop(0)
    windows = []
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is None or app.name != APP_NAME:
            continue
        for j in range(app.childCount):
            window = app.getChildAtIndex(j)
            if window is None:
                continue
            if titles and caption(window.name) not in {caption(t) for t in titles}:
                continue
            windows.append(node(window, 0))
    return windows


if __name__ == "__main__":
    if len(sys.argv) >= 2 and sys.argv[1] == "dump":
        # Pelko's labels are Japanese whatever the locale of the suite.
        sys.stdout.reconfigure(encoding="utf-8")
        print(json.dumps(_dump(sys.argv[2:]), ensure_ascii=False))
    else:
        print(__doc__)
