#!/usr/bin/env python3
"""Prints the accessibility tree of a running program as a screen reader (Orca) receives it over
AT-SPI, and lists what a screen reader user would miss: a control that takes the focus without a
name, and a check box or checkable row without its check state.

    python3 atspi_dump.py APPLICATION_NAME [--wait SECONDS] [--faults-only]

Exits with 1 when it found such faults, with 2 when the application did not appear."""
import argparse
import sys
import time

import pyatspi

INTERACTIVE = {
    pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_CHECK_BOX,
    pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY,
    pyatspi.ROLE_SPIN_BUTTON, pyatspi.ROLE_SLIDER, pyatspi.ROLE_LIST, pyatspi.ROLE_TABLE,
    pyatspi.ROLE_TREE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_PAGE_TAB_LIST,
    pyatspi.ROLE_PASSWORD_TEXT, pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_CANVAS,
}


def find_app(name, wait):
    end = time.time() + wait
    while True:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name == name:
                return app
        if time.time() > end:
            return None
        time.sleep(0.5)


def walk(node, depth, out, faults, path):
    try:
        role = node.getRole()
        name = node.name or ""
        states = node.getState()
    except Exception:  # the object went away while read
        return
    showing = states.contains(pyatspi.STATE_SHOWING)
    flags = []
    if states.contains(pyatspi.STATE_FOCUSABLE):
        flags.append("focusable")
    if states.contains(pyatspi.STATE_FOCUSED):
        flags.append("focused")
    if states.contains(pyatspi.STATE_CHECKABLE):
        flags.append("checked" if states.contains(pyatspi.STATE_CHECKED) else "unchecked")
    if states.contains(pyatspi.STATE_SELECTED):
        flags.append("selected")
    role_name = node.getRoleName()
    here = f"{path}/{role_name}[{name}]"
    if showing:
        out.append(f"{'  ' * depth}{role_name} \"{name}\" {' '.join(flags)}".rstrip())
        if (role in INTERACTIVE and states.contains(pyatspi.STATE_FOCUSABLE) and not name.strip()
                and role not in (pyatspi.ROLE_PAGE_TAB_LIST,)):
            faults.append(f"no name: {here}")
    if depth > 40:
        return
    count = node.childCount
    # Long lists are shown by their first rows; their other rows are the same kind.
    for i in range(min(count, 60)):
        child = node.getChildAtIndex(i)
        if child is not None:
            walk(child, depth + 1, out, faults, here)


def tab_lists(node, depth=0):
    found = []
    try:
        if node.getRole() == pyatspi.ROLE_PAGE_TAB_LIST and node.getState().contains(
                pyatspi.STATE_SHOWING):
            found.append(node)
        for i in range(min(node.childCount, 60)) if depth < 40 else []:
            child = node.getChildAtIndex(i)
            if child is not None:
                found += tab_lists(child, depth + 1)
    except Exception:
        pass
    return found


def press(node):
    """Runs the node's first action (a tab's "Press"), as a screen reader user would."""
    try:
        action = node.queryAction()
        return action.nActions > 0 and action.doAction(0)
    except NotImplementedError:
        return False


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("application")
    parser.add_argument("--wait", type=float, default=20)
    parser.add_argument("--faults-only", action="store_true")
    args = parser.parse_args()
    app = find_app(args.application, args.wait)
    if app is None:
        print(f"atspi_dump: {args.application} is not on the accessibility bus", file=sys.stderr)
        return 2
    out, faults = [], []
    walk(app, 0, out, faults, "")
    # The pages behind the other tabs are shown one by one, as a user would open them.
    for tabs in tab_lists(app):
        for i in range(tabs.childCount):
            tab = tabs.getChildAtIndex(i)
            if tab is None or not press(tab):
                continue
            time.sleep(0.5)
            out.append(f"-- after choosing the tab \"{tab.name}\"")
            walk(app, 0, out, faults, "")
    if not args.faults_only:
        print("\n".join(out))
    seen = set()
    for fault in faults:
        if fault not in seen:
            seen.add(fault)
            print(fault)
    return 1 if seen else 0


if __name__ == "__main__":
    sys.exit(main())
