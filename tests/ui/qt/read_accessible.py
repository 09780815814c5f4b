"""Reads the window through AT-SPI, as a screen reader such as Orca gets it.

  usage: read_accessible.py tree       the window and its children in order:
                                       role | name | description
         read_accessible.py focusable  the names of the children Tab may reach
         read_accessible.py focused [NAME]
                                       the name of the object with the focus,
                                       waiting up to 5 s for NAME if given

Needs Debian's python3-gi and gir1.2-atspi-2.0: run it with /usr/bin/python3.
"""

import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

TITLE = "タイマセット"


def children(node):
    return [node.get_child_at_index(i) for i in range(node.get_child_count())]


def window(timeout=30):
    """The program's window, once the program has joined the bus."""
    end = time.monotonic() + timeout
    while True:
        for app in children(Atspi.get_desktop(0)):
            for top in children(app) if app else []:
                if top and top.get_name() == TITLE:
                    return top
        if time.monotonic() > end:
            sys.exit(f"no window named {TITLE} on the accessibility bus")
        time.sleep(0.1)


def focused(node):
    if node.get_state_set().contains(Atspi.StateType.FOCUSED):
        return node
    for child in children(node):
        found = focused(child)
        if found:
            return found
    return None


def row(node):
    return f"{node.get_role_name()} | {node.get_name()} | {node.get_description()}".rstrip()


def main(command, *args):
    top = window()
    if command == "tree":
        print(row(top))
        for child in children(top):
            print("  " + row(child))
    elif command == "focusable":
        states = [(c, c.get_state_set()) for c in children(top)]
        print(" ".join(c.get_name() for c, s in states if s.contains(Atspi.StateType.FOCUSABLE)))
    elif command == "focused":
        end = time.monotonic() + 5
        while True:
            top.clear_cache()  # Read the states afresh, not as first seen.
            node = focused(top)
            name = node.get_name() if node else "(none)"
            if not args or name == args[0] or time.monotonic() > end:
                break
            time.sleep(0.05)
        print(name)
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(*(sys.argv[1:] or ["help"]))
