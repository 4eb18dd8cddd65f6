#!/usr/bin/env python3
"""What a screen reader sees of the program: its accessible objects through AT-SPI.

Run as a child process in the desktop session (its D-Bus session bus); prints one JSON
object a line for every accessible object of the applications whose name holds the given
text: the window it belongs to, role, name, text, states and centre on the screen. The
suite reads message boxes, labels and menu items with it. A child process of its own,
because the AT-SPI library keeps the first bus it connects to for the life of the process.

    e2e_atspi.py APPLICATION
"""

import json
import sys

STATES = ("enabled", "sensitive", "showing", "visible", "checked", "focused", "active")


def main():
    import pyatspi  # Debian: python3-pyatspi

    wanted = sys.argv[1].lower()
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is None or wanted not in (app.name or "").lower():
            continue
        for window in app:
            if window is None:
                continue
            walk(pyatspi, window, window.name or "", 0)
    return 0


def walk(pyatspi, node, window, depth):
    if node is None or depth > 40:
        return
    try:
        states = node.getState()
        record = {
            "window": window,
            "role": node.getRoleName(),
            "name": node.name or "",
            "text": text_of(node),
            "states": [s for s in STATES
                       if states.contains(getattr(pyatspi, "STATE_" + s.upper()))],
            "centre": centre_of(pyatspi, node),
        }
    except Exception as error:  # an object gone while it was read
        record = {"window": window, "role": "gone", "name": str(error), "text": "",
                  "states": []}
    print(json.dumps(record, ensure_ascii=False), flush=False)
    for child in node:
        walk(pyatspi, child, window, depth + 1)


def centre_of(pyatspi, node):
    try:
        box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    except NotImplementedError:
        return None
    return [box.x + box.width // 2, box.y + box.height // 2]


def text_of(node):
    try:
        text = node.queryText()
    except NotImplementedError:
        return ""
    return text.getText(0, text.characterCount)


if __name__ == "__main__":
    sys.exit(main())
