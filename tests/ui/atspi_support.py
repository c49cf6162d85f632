"""What the accessibility clients share: waiting, finding nodes in the
AT-SPI tree of the running plu-editor, and acting as a person would (keys,
clicks, menu items, message boxes)."""
import os
import subprocess
import sys
import time

import pyatspi

TIMEOUT = 20.0


def fail(message):
    print("accessibility: " + message, file=sys.stderr)
    shot("failure")
    sys.exit(1)


def wait_for(what, probe, timeout=TIMEOUT):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        try:
            found = probe()
        except Exception:  # the tree changes under us while the program works
            found = None
        if found:
            return found
        time.sleep(0.2)
    fail("timed out waiting for " + what)


def find_app():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.name in ("plu-editor", "PLU Editor"):
            return app
    return None


def find(node, predicate, depth=0):
    if node is None or depth > 14:
        return None
    if predicate(node):
        return node
    if node.getRole() == pyatspi.ROLE_TABLE:  # cells are read through the table interface
        return None
    for i in range(node.childCount):
        hit = find(node.getChildAtIndex(i), predicate, depth + 1)
        if hit is not None:
            return hit
    return None


def by_role_and_name(role, name):
    return lambda n: n.getRole() == role and n.name == name


def text_of(node):
    try:
        return node.queryText().getText(0, -1)
    except NotImplementedError:
        return node.name


def key(name):
    code = {"Return": 36, "Right": 114, "Down": 116, "Tab": 23, "Escape": 9}.get(name)
    if code is None:
        pyatspi.Registry.generateKeyboardEvent(0, name, pyatspi.KEY_STRING)
    else:
        pyatspi.Registry.generateKeyboardEvent(code, None, pyatspi.KEY_PRESSRELEASE)
    time.sleep(0.15)


def type_text(text):
    for ch in text:
        key(ch)


def click_at(node):
    e = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    x, y = e.x + e.width // 2, e.y + e.height // 2
    pyatspi.Registry.generateMouseEvent(x, y, "abs")
    pyatspi.Registry.generateMouseEvent(x, y, "b1c")
    time.sleep(0.4)


def press(node):
    """The node's first action (a menu item's or a button's press). A command
    that opens a modal box answers only when the box closes: the call then
    times out while the program goes on, which is what a person sees too."""
    try:
        node.queryAction().doAction(0)
    except Exception as error:  # GLib.GError: no reply within the bus's time-out
        if "reply" not in str(error):
            raise
    time.sleep(0.3)


def menu_item(app, *path):
    """Chooses a menu item by its captions, e.g. ("Serial", "DownLoad", "Start")."""
    node = app
    for caption in path:
        node = wait_for("menu item " + caption,
                        lambda: find(node, by_role_and_name(pyatspi.ROLE_MENU_ITEM, caption)))
    press(node)


def message_box(app, text):
    """Waits for a message box saying `text`; answers it with `button`."""
    def probe():
        for i in range(app.childCount):
            window = app.getChildAtIndex(i)
            if window.getRole() not in (pyatspi.ROLE_DIALOG, pyatspi.ROLE_ALERT):
                continue
            if find(window, lambda n: n.getRole() == pyatspi.ROLE_LABEL and text in text_of(n)):
                return window
        return None
    return wait_for("a message box saying " + repr(text), probe, timeout=60.0)


def answer(box, button):
    press(wait_for("the button " + button, lambda: find(box, by_role_and_name(pyatspi.ROLE_PUSH_BUTTON, button))))


def shot(name):
    """A screenshot for the README when SHOTS_DIR is set."""
    folder = os.environ.get("SHOTS_DIR")
    if folder:
        time.sleep(0.6)
        subprocess.run([os.environ["SCREEN_GRAB"], os.path.join(folder, name + ".png"), "0"], check=False)
