#!/usr/bin/python3
"""Drives a running vexa through the accessibility tree as a screen reader
user would: every push button's name holds its visible label, 开始 and 是
run the job, the status line then reads 执行完成！ and the counts line its
counts, and 结果 opens a window that is a window (frame or dialog). Exits
non-zero with the reason on failure."""
import pyatspi

from atspi_tree import app, fail, named, press, wait_for, walk

LABELS = ["开始", "指定", "打开", "内容替换规则", "重命名规则", "关于", "预览", "结果"]


def text_of(node):
    """What a screen reader reads of a label: its name, else its text."""
    if node.name:
        return node.name
    try:
        t = node.queryText()
        return t.getText(0, t.characterCount)
    except NotImplementedError:
        return ""


def main():
    vexa = wait_for("the program", app)
    dialog = wait_for("the dialog", lambda: named(vexa, pyatspi.ROLE_DIALOG, "Korvane"))
    buttons = [n.name for n in walk(dialog) if n.getRole() == pyatspi.ROLE_PUSH_BUTTON]
    for label in LABELS:
        if not any(label in name for name in buttons):
            fail("no push button named with %s among %s" % (label, buttons))
    press(named(dialog, pyatspi.ROLE_PUSH_BUTTON, "开始"))
    yes = wait_for("是", lambda: next((n for n in walk(vexa) if n.getRole() == pyatspi.ROLE_PUSH_BUTTON
                                       and (n.name or "").startswith("是")), None))
    press(yes)
    status = wait_for("执行完成！", lambda: next((n for n in walk(dialog) if n.getRole() == pyatspi.ROLE_LABEL
                                               and text_of(n) == "执行完成！"), None))
    print("status: " + text_of(status))
    counts = wait_for("the counts", lambda: next((n for n in walk(dialog) if n.getRole() == pyatspi.ROLE_LABEL
                                                 and "已改写 1 个文件" in text_of(n)), None))
    print("counts: " + text_of(counts))
    press(named(dialog, pyatspi.ROLE_PUSH_BUTTON, "结果"))
    results = wait_for("结果 - Korvane", lambda: next((n for n in walk(vexa) if n.name == "结果 - Korvane"), None))
    if results.getRole() not in (pyatspi.ROLE_FRAME, pyatspi.ROLE_DIALOG):
        fail("the results window's role is " + results.getRoleName())
    print("results: " + results.getRoleName())


main()
