#!/usr/bin/python3
"""Drives the rules editor of a running vexa through the accessibility tree:
opens it from the dialog, adds the rule colour -> color and saves (typing
with xdotool), then adds an empty row and checks that saving is refused and
that the reason can be read. Exits non-zero with the reason on failure."""
import time

import pyatspi

from atspi_tree import app, enabled, fail, keys, named, press, wait_for, walk


def main():
    vexa = wait_for("the program", app)
    dialog = wait_for("the dialog", lambda: named(vexa, pyatspi.ROLE_DIALOG, "Korvane"))
    press(wait_for("内容替换规则", lambda: named(dialog, pyatspi.ROLE_PUSH_BUTTON, "内容替换规则")))
    window = wait_for("规则 - Korvane", lambda: named(vexa, pyatspi.ROLE_FRAME, "规则 - Korvane"))
    wait_for("the table", lambda: named(window, pyatspi.ROLE_TABLE, "内容替换规则"))
    save = named(window, pyatspi.ROLE_PUSH_BUTTON, "保存")
    add = named(window, pyatspi.ROLE_PUSH_BUTTON, "添加")
    if enabled(save):
        fail("保存 is offered before anything changed")
    # 添加 opens the new row's first cell for typing; Tab moves to the second.
    press(add)
    time.sleep(0.5)
    keys("type", "--delay", "30", "colour")
    keys("key", "Tab")
    keys("type", "--delay", "30", "color")
    keys("key", "Return")
    wait_for("保存 offered", lambda: save if enabled(save) else None)
    press(save)
    wait_for("the save", lambda: None if enabled(save) else save)
    print("saved", flush=True)

    # An empty row: 保存 is refused and the reason is in the tree.
    press(add)
    time.sleep(0.5)
    keys("key", "Escape")
    reason = "查找内容不能为空"
    wait_for("the reason", lambda: next((n for n in walk(window)
                                         if reason in (n.name or "") + (n.description or "")), None))
    if enabled(save):
        fail("保存 is offered with an empty find text")
    print("refused")


main()
