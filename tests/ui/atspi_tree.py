"""What the accessibility-driven checks share: the running program's node in
the AT-SPI tree, a walk over a node's descendants, and waiting for a node."""
import subprocess
import sys
import time

import pyatspi

TIMEOUT = 20


def fail(why):
    print("FAIL: " + why, file=sys.stderr)
    sys.exit(1)


def walk(node, depth=0):
    if node is None or depth > 30:
        return
    yield node
    for i in range(node.childCount):
        yield from walk(node.getChildAtIndex(i), depth + 1)


def wait_for(what, find, timeout=TIMEOUT):
    deadline = time.time() + timeout
    while time.time() < deadline:
        try:
            found = find()
        except Exception:  # the tree changes under us while it is walked
            found = None
        if found is not None:
            return found
        time.sleep(0.2)
    fail(what + " not found")


def app():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        child = desktop.getChildAtIndex(i)
        if child is not None and (child.name or "").lower() == "vexa":
            return child
    return None


def named(root, role, name):
    for node in walk(root):
        if node.getRole() == role and node.name == name:
            return node
    return None


def press(button):
    button.queryAction().doAction(0)


def enabled(node):
    return node.getState().contains(pyatspi.STATE_SENSITIVE)


def keys(*args):
    subprocess.run(["xdotool", *args], check=True)
    time.sleep(0.3)
