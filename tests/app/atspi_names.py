#!/usr/bin/python3
"""Reads the running program's windows through AT-SPI, as a screen reader does, and fails when a
control would be announced without its name: a list by its value, an edit field or a button with
nothing at all."""
import sys
import time

import pyatspi

APP = "Veltorane Traction Control Software"
# The editable lists and the labels they must be announced by.
LISTS = {"Front left wheel", "Front right wheel", "Rear left wheel", "Rear right wheel",
         "Sample rate", "Type of test", "Misfire for"}
NAMED_ROLES = {"push button", "toggle button", "check box", "radio button", "combo box", "text",
               "spin button", "slider", "page tab", "menu item", "check menu item", "progress bar"}


def find_app(patience):
    deadline = time.monotonic() + patience
    while time.monotonic() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == APP:
                return app
        time.sleep(0.25)
    return None


def walk(node, path, out, seen):
    try:
        role, name = node.getRoleName(), node.name
        children = [node.getChildAtIndex(i) for i in range(node.childCount)]
    except Exception:  # a node that went away while we read it
        return
    key = (id(node), role, name)
    if len(path) > 40 or key in seen:
        return
    seen.add(key)
    here = path + [f"{role} '{name}'"]
    out.append((role, name, node, here))
    for child in children:
        if child is not None:
            walk(child, here, out, seen)


def main():
    app = find_app(60)
    if app is None:
        print(f"no application named {APP!r} on the accessibility bus")
        return 1
    nodes = []
    deadline = time.monotonic() + 60
    while time.monotonic() < deadline:
        nodes = []
        walk(app, [], nodes, set())
        if LISTS <= {name for role, name, _, _ in nodes if role == "combo box"}:
            break
        time.sleep(0.5)
    faults = []
    combos = {name: node for role, name, node, _ in nodes if role == "combo box"}
    for label in sorted(LISTS - set(combos)):
        values = sorted(n for n in combos if n not in LISTS)
        faults.append(f"no list announced as {label!r} (lists are announced as {values})")
    for label in sorted(LISTS & set(combos)):
        edits = [c for c in combos[label] if c is not None and c.getRoleName() == "text"]
        for edit in edits:
            if edit.name != label:
                faults.append(f"the edit field of {label!r} is announced as {edit.name!r}")
    for role, name, _, path in nodes:
        # The lists inside a closed combo box are its popup; it is announced by its owner.
        if role in NAMED_ROLES and not name.strip():
            faults.append("no name: " + " > ".join(path))
    print(f"read {len(nodes)} accessible objects of {APP!r}")
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
