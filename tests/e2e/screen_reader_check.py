#!/usr/bin/python3
"""The window as a screen reader finds it on the accessibility bus (AT-SPI).

Usage: screen_reader_check.py names
       screen_reader_check.py value NAME TEXT

names: every control a user works with has a name, no two of one role share
one, the format options are radio buttons in their named frame, the port list
is named for what it is, and the boxes are named by their labels and the
result boxes by their column and row. value: the text box called NAME reads
TEXT (within 5 s). Prints what fails; exits 1 if anything does.
"""
import sys
import time

import pyatspi

APPLICATION = "proxcred"
WORKED_WITH = {"push button", "radio button", "check box", "text", "combo box", "page tab"}
FORMATS = ["26 Bit", "34 Bit", "35 Bit", "35 Bit X", "36 Bit X", "37 Bit X", "37 Bit",
           "Proxif", "Casi"]
EXPECTED_TEXTS = (
    {"Hotstamp No.", "Facility Code", "Version", "Prox Data", "Card Data", "Bit Data",
     "Data Input instructions", "Split Data instructions",
     "No Facility, Hotstamp No.", "Proxif, Version"}
    | {f"{header}, {row}" for header in FORMATS for row in ("Hotstamp No.", "Facility Code")}
)

failures = []


def application(seconds=15):
    deadline = time.time() + seconds
    while time.time() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == APPLICATION:
                return app
        time.sleep(0.2)
    sys.exit(f"FAILED: no application {APPLICATION!r} on the accessibility bus")


def walk(node, parent=None):
    """Every object under node, with its parent."""
    yield node, parent
    for child in node:
        if child is not None:
            yield from walk(child, node)


def named(tree, role):
    return [(node, parent) for node, parent in tree if node.getRoleName() == role]


def expect(holds, what):
    if not holds:
        failures.append(what)


def check_names(app):
    tree = list(walk(app))
    seen = set()
    for node, _ in tree:
        role = node.getRoleName()
        if role not in WORKED_WITH:
            continue
        expect(node.name != "", f"a {role} has no name")
        expect((role, node.name) not in seen, f"two of {role} are named {node.name!r}")
        seen.add((role, node.name))
    options = named(tree, "radio button")
    expect([node.name for node, _ in options] == ["26 Bit", "34 Bit", "35 Bit",
                                                   "35 Bit Xceed ID", "36 Bit Xceed ID",
                                                   "37 Bit Xceed ID", "37 Bit", "Proxif", "Casi"],
           f"the format options are {[node.name for node, _ in options]}")
    for node, parent in options:
        expect(parent.getRoleName() == "panel" and parent.name == "Prox Card Format",
               f"option {node.name!r} is in {parent.getRoleName()} {parent.name!r}")
    lists = named(tree, "combo box")
    expect([(node.name, parent.name) for node, parent in lists] == [("Com Port", "Com Port")],
           f"the port lists are {[(node.name, parent.name) for node, parent in lists]}")
    texts = {node.name for node, _ in named(tree, "text")}
    expect(texts == EXPECTED_TEXTS,
           f"text boxes missing {sorted(EXPECTED_TEXTS - texts)}, "
           f"unexpected {sorted(texts - EXPECTED_TEXTS)}")
    buttons = {node.name for node, _ in named(tree, "push button")}
    expect({"Convert", "Copy to Clipboard", "Split Data", "Read Card From Lock", "OK",
            "Exit"} <= buttons, f"the buttons are {sorted(buttons)}")
    tabs = [node.name for node, _ in named(tree, "page tab")]
    expect(tabs == ["Data Input", "Split Data"], f"the page tabs are {tabs}")


def check_value(app, name, text, seconds=5):
    deadline = time.time() + seconds
    while True:
        boxes = [node for node, _ in named(list(walk(app)), "text") if node.name == name]
        if len(boxes) == 1 and boxes[0].queryText().getText(0, -1) == text:
            return
        if time.time() >= deadline:
            shown = [box.queryText().getText(0, -1) for box in boxes]
            failures.append(f"the text box {name!r} reads {shown}, not {text!r}")
            return
        time.sleep(0.2)


def main(arguments):
    app = application()
    if arguments[:1] == ["names"]:
        check_names(app)
    elif arguments[:1] == ["value"] and len(arguments) == 3:
        check_value(app, arguments[1], arguments[2])
    else:
        sys.exit(__doc__)
    for failure in failures:
        print(f"FAILED: {failure}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
