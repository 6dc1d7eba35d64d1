#!/usr/bin/env python3
"""Walks the program's windows over the accessibility bus (AT-SPI) and fails
on any control without a name, the options, drop-downs and buttons of their
pages included, or a picture that acts as a button.

Runs inside its own D-Bus session, with the program on the X display of
$DISPLAY. Usage: check_names.py PROGRAM
"""
import os
import re
import signal
import subprocess
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

R = Atspi.Role
# Roles a user operates: each needs a name a screen reader can say.
CONTROLS = {
    R.PUSH_BUTTON, R.TOGGLE_BUTTON, R.CHECK_BOX, R.RADIO_BUTTON, R.COMBO_BOX,
    R.TEXT, R.ENTRY, R.PASSWORD_TEXT, R.SPIN_BUTTON, R.SLIDER, R.TREE,
    R.TREE_TABLE, R.LIST, R.PAGE_TAB, R.MENU_ITEM, R.PROGRESS_BAR,
}
# The page's own content is the embedded browser's: walked on its own.
WEB = {R.DOCUMENT_WEB, R.DOCUMENT_FRAME}


def fail(message):
    print("accessibility check: " + message, file=sys.stderr)
    sys.exit(1)


def wait_for(what, find, seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        found = find()
        if found:
            return found
        time.sleep(0.2)
    fail("timed out waiting for " + what)


def children(node):
    try:
        return [node.get_child_at_index(i) for i in range(node.get_child_count())]
    except gi.repository.GLib.Error:
        return []


def walk(node, depth=0):
    """Every visible node under `node`, outside web content."""
    if node is None or depth > 40:
        return
    yield node
    try:
        if node.get_role() in WEB:
            return
    except gi.repository.GLib.Error:
        return
    for child in children(node):
        if child is not None:
            try:
                if not child.get_state_set().contains(Atspi.StateType.SHOWING):
                    continue
            except gi.repository.GLib.Error:
                continue
            yield from walk(child, depth + 1)


def page_nodes(window, limit=600):
    """The first nodes of the page in `window`, the embedded browser's own
    tree, scrolled out of sight or not."""
    documents = [n for n in walk(window) if n.get_role() in WEB]
    queue = [child for document in documents for child in children(document)]
    seen = 0
    while queue and seen < limit:
        node = queue.pop(0)
        if node is None:
            continue
        seen += 1
        yield node
        queue.extend(children(node))


def page_problems(window, label):
    """The page's options, drop-downs and buttons each need a name; a page
    whose options never reach the bus fails too."""
    found, options = [], 0
    for node in page_nodes(window):
        try:
            role, name = node.get_role(), (node.get_name() or "").strip()
        except gi.repository.GLib.Error:
            continue
        if role in (R.RADIO_BUTTON, R.CHECK_BOX):
            options += 1
        if role in (R.RADIO_BUTTON, R.CHECK_BOX, R.COMBO_BOX, R.PUSH_BUTTON) and not name:
            found.append("%s page: unnamed %s" % (label, node.get_role_name()))
    if not options:
        found.append("%s page: no option of the page is on the bus" % label)
    return found


def program(pid):
    desktop = Atspi.get_desktop(0)
    for app in children(desktop):
        try:
            if app is not None and app.get_process_id() == pid:
                return app
        except gi.repository.GLib.Error:
            pass
    return None


def window_named(app, name):
    for window in children(app):
        try:
            if window is not None and window.get_name() == name and window.get_state_set().contains(
                    Atspi.StateType.SHOWING):
                return window
        except gi.repository.GLib.Error:
            pass
    return None


def find(root, role, name):
    for node in walk(root):
        try:
            if node.get_role() == role and node.get_name() == name:
                return node
        except gi.repository.GLib.Error:
            pass
    return None


def action_count(node):
    try:
        return node.get_n_actions()
    except gi.repository.GLib.Error:
        return 0


def press(node):
    if action_count(node) == 0:
        fail("%s cannot be pressed" % node.get_name())
    node.do_action(0)


def problems(window, label):
    found = []
    for node in walk(window):
        try:
            role, name = node.get_role(), (node.get_name() or "").strip()
            acts = action_count(node)
        except gi.repository.GLib.Error:
            continue
        if role in CONTROLS and not name:
            found.append("%s: unnamed %s" % (label, node.get_role_name()))
        if role == R.IMAGE and acts and not name:
            found.append("%s: a picture that acts as a button has no name" % label)
        if role == R.IMAGE and acts:
            found.append("%s: '%s' is an image, not a button" % (label, name))
    return found


def main():
    program_path = sys.argv[1]
    environment = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
    process = subprocess.Popen([program_path], env=environment, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, start_new_session=True)
    try:
        app = wait_for("the program on the accessibility bus", lambda: program(process.pid), 60)
        main_window = wait_for("the main window", lambda: window_named(app, "Morrowquill"), 60)
        wait_for("the tool bar", lambda: find(main_window, R.PUSH_BUTTON, "试题库"), 30)
        report = problems(main_window, "main window")
        wait_for("the page's options",
                 lambda: any(n.get_role() == R.RADIO_BUTTON for n in page_nodes(main_window)), 60)
        report += page_problems(main_window, "main window")
        buttons = [n for n in walk(main_window) if n.get_role() == R.PUSH_BUTTON]
        if len(buttons) < 20:
            fail("the walk saw only %d buttons of the main window" % len(buttons))

        # Into the exam room, the way a screen reader user goes.
        press(find(main_window, R.PUSH_BUTTON, "模拟考场"))
        steps = [("参数设置", "进 入"), ("考生登录", "登录考场"), ("考生信息", "开始考试")]
        for title, button in steps:
            window = wait_for("the window " + title, lambda t=title: window_named(app, t), 30)
            press(wait_for("its button " + button,
                           lambda w=window, b=button: find(w, R.PUSH_BUTTON, b), 20))

        exam = wait_for("the exam window", lambda: window_named(app, "人机对话"), 30)
        cell = re.compile(r"^第 \S+ 题，(已答|在答|未答)$")

        def exam_ready():
            # The paper's notices come first; each is acknowledged.
            for window in children(app):
                try:
                    if window is None or window.get_role() not in (R.DIALOG, R.ALERT):
                        continue
                    if window.get_name() == "人机对话":
                        continue
                    for name in ("确定", "OK", "&OK"):
                        ok = find(window, R.PUSH_BUTTON, name)
                        if ok:
                            press(ok)
                            return None
                except gi.repository.GLib.Error:
                    pass
            return find(exam, R.PUSH_BUTTON, "第 1 题，在答")

        wait_for("the answer sheet", exam_ready, 40)
        report += problems(exam, "exam window")
        wait_for("the exam page's options",
                 lambda: any(n.get_role() == R.RADIO_BUTTON for n in page_nodes(exam)), 60)
        report += page_problems(exam, "exam window")
        names = [n.get_name() for n in walk(exam)]
        if not any(cell.match(n or "") for n in names):
            report.append("exam window: no answer-sheet cell says its question and state")
        if not any(re.match(r"^剩余时间 \d+ 分钟$", n or "") for n in names):
            report.append("exam window: the clock does not say the remaining minutes")
        if report:
            fail("\n  " + "\n  ".join(sorted(set(report))))
        print("accessibility check: every control is named")
    finally:
        try:
            os.killpg(process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        process.wait()


if __name__ == "__main__":
    main()
