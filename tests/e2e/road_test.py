#!/usr/bin/python3
"""The road a first user walks, through the real program on a virtual display.

Xvfb, openbox, a loopback web server and the corvane binary on fresh program,
registry and runtime folders; driven only by key presses and mouse clicks
(xdotool). Windows are waited for by exact title among the visible ones;
controls are found where a person would see them through the accessibility
tree (AT-SPI), which also reads back what is on screen. Every step is checked
on screen and in the record files, and leaves a screenshot.

  road_test.py --corvane BIN --seed SEED_TOOL --out SCREENSHOT_FOLDER
"""

import argparse
import ctypes
import os
import re
import select
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time

SCREEN = (1280, 1024)
DEADLINE = 20.0  # seconds a window or a record may take to appear
ROAD_LIMIT = 330.0  # the whole road; CTest's own timeout lies above it

ADMIN, ADMIN_PASSWORD = "admin", "Corv4ne!"
CAROL, CAROL_PASSWORD = "carol", "C4rol-pw"

# Titles and texts of the message catalogue.
T_PRIMARY_WIZARD = "New Primary User"
T_WIZARD = "New User"
T_LOGIN = "Corvane Standard"
T_CONSOLE = "Corvane Standard - Secure Console"
T_PROGRAM = "Corvane"  # the user window, and every message box
T_WEBSITES = "Websites"
T_NEW_WEBSITE = "New Website"
T_BROWSER = "Web Browser"
T_USER_LOG = "User Log"
T_SAVE_AS = "Save As"  # the file chooser's own title when Save As gives none
T_OPEN = "Open"  # the file chooser's own title for a page's upload
T_PRINT = "Print"
MSG_NOT_HANDED = ("Nothing was handed to the page. The folder {} holds Corvane's own files, which no page may read. "
                  "Choose another file.")
MSG_425 = "Access denied. You do not have the required permission for {}!"
MSG_445 = "The System was unable to Log you on because your Password is invalid."
MSG_OWN_FILES = ("Nothing was saved. The folder {} holds Corvane's own files, which cannot be written from here. "
                 "Choose another folder.")
MSG_ACCOUNT_TABLE = "The account table is missing or damaged"
MSG_NO_DATA_SOURCE = "Data Source Error.  Cannot connect to Data Source"
MSG_START_PLACE = "Nothing was saved. {} decides which programs start, and cannot be written from here. Choose another folder."

libc = ctypes.CDLL("libc.so.6", use_errno=True)


class StepFailed(Exception):
    pass


# --- Processes --------------------------------------------------------------

started = []  # (name, Popen), stopped in reverse order


def _own_group_and_die_with_parent():
    os.setsid()
    libc.prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG: never outlive the test


def start(name, argv, **kw):
    proc = subprocess.Popen(argv, preexec_fn=_own_group_and_die_with_parent, **kw)
    started.append((name, proc))
    return proc


def stop_all():
    for name, proc in reversed(started):
        if proc.poll() is not None:
            continue
        try:
            os.killpg(proc.pid, signal.SIGTERM)
        except ProcessLookupError:
            continue
        try:
            proc.wait(timeout=5)
        except subprocess.TimeoutExpired:
            os.killpg(proc.pid, signal.SIGKILL)
            proc.wait()
    started.clear()


def _terminate(signum, _frame):
    raise SystemExit(128 + signum)


def _too_long(_signum, _frame):
    raise StepFailed(f"the road took over {ROAD_LIMIT:.0f} s")


def read_line(stream, timeout, what):
    ready, _, _ = select.select([stream], [], [], timeout)
    if not ready:
        raise StepFailed(f"{what} did not answer")
    return stream.readline()


def wait_until(what, condition, timeout=DEADLINE):
    end = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > end:
            raise StepFailed(f"waited {timeout:.0f} s for {what}")
        time.sleep(0.1)


# --- The display ------------------------------------------------------------

def xdo(*args, check=True):
    done = subprocess.run(["xdotool", *args], capture_output=True, text=True)
    if check and done.returncode != 0 and done.stderr.strip():
        raise StepFailed(f"xdotool {' '.join(args)}: {done.stderr.strip()}")
    return done.stdout.split()


def ere(text):
    return re.sub(r"([.\[\]()*+?{}|^$\\])", r"\\\1", text)


def visible_windows(title):
    """Ids of the visible windows whose title is exactly `title`."""
    return [w for w in xdo("search", "--onlyvisible", "--name", f"^{ere(title)}$", check=False)]


def window_name(window):
    done = subprocess.run(["xdotool", "getwindowname", window], capture_output=True, text=True)
    return done.stdout.rstrip("\n")


def on_screen():
    """Titles of every visible window, for a failure's report."""
    titles = []
    for w in xdo("search", "--onlyvisible", "--name", ".", check=False):
        name = window_name(w)
        if name and name not in ("openbox",):
            titles.append(name)
    return titles


def active_window():
    ids = xdo("getactivewindow", check=False)
    return ids[0] if ids else ""


def key(*keys):
    xdo("key", "--clearmodifiers", "--delay", "60", *keys)


def type_text(text):
    xdo("type", "--clearmodifiers", "--delay", "40", text)


# --- What the program shows (AT-SPI) -------------------------------------------

Atspi = None


def import_atspi():
    global Atspi
    import gi
    gi.require_version("Atspi", "2.0")
    from gi.repository import Atspi as module
    Atspi = module


def _showing(acc):
    try:
        return acc.get_state_set().contains(Atspi.StateType.SHOWING)
    except Exception:
        return False


def _children(acc):
    try:
        return [acc.get_child_at_index(i) for i in range(acc.get_child_count())]
    except Exception:
        return []


def app_windows():
    desktop = Atspi.get_desktop(0)
    windows = []
    for app in _children(desktop):
        try:
            if app.get_name() != "corvane":
                continue
            app.clear_cache()
        except Exception:
            continue
        windows += [w for w in _children(app) if _showing(w)]
    return windows


def name_of(acc):
    try:
        return acc.get_name() or ""
    except Exception:
        return ""


def role_of(acc):
    try:
        return acc.get_role_name()
    except Exception:
        return ""


def find_all(root, role=None, name=None, limit=2000):
    """The showing controls under root with that role and exact name."""
    found, stack, seen = [], [root], 0
    while stack and seen < limit:
        acc = stack.pop()
        seen += 1
        if (role is None or role_of(acc) == role) and (name is None or name_of(acc) == name):
            found.append(acc)
        stack.extend(reversed([c for c in _children(acc) if _showing(c)]))
    return found


def popup_at_pointer():
    """A mapped override-redirect window (a menu) under the pointer, or None."""
    px, py = pointer()
    tree = subprocess.run(["xwininfo", "-root", "-children"], capture_output=True, text=True).stdout
    for window, w, h, x, y in re.findall(r"^\s*(0x[0-9a-f]+) .*\s(\d+)x(\d+)\+(-?\d+)\+(-?\d+)\s", tree, re.M):
        if not (int(x) <= px + 3 < int(x) + int(w) and int(y) <= py + 3 < int(y) + int(h)):
            continue
        info = subprocess.run(["xwininfo", "-id", window], capture_output=True, text=True).stdout
        if "IsViewable" in info and re.search(r"Override Redirect State:\s*yes", info):
            return window
    return None


def context_menu_open():
    wait_until("the context menu under the pointer", popup_at_pointer, 10)


def ui_window(title, containing=None):
    """The program's showing window of that title (holding a control named `containing`)."""
    for w in app_windows():
        if name_of(w) == title and (containing is None or find_all(w, name=containing)):
            return w
    return None


def control(window, role, name):
    found = find_all(window, role, name)
    if not found:
        raise StepFailed(f"no {role} '{name}' in window '{name_of(window)}'")
    return found[0]


def has_state(acc, state):
    try:
        return acc.get_state_set().contains(state)
    except Exception:
        return False


def right_edge(acc):
    ext = acc.get_extents(Atspi.CoordType.SCREEN)
    return ext.x + ext.width


def click(acc, double=False):
    ext = acc.get_extents(Atspi.CoordType.SCREEN)
    if ext.width <= 0 or ext.height <= 0:
        raise StepFailed(f"'{name_of(acc)}' has no place on the screen")
    x, y = ext.x + ext.width // 2, ext.y + ext.height // 2
    xdo("mousemove", "--sync", str(x), str(y))
    xdo("click", "--repeat", "2" if double else "1", "--delay", "80", "1")


def texts_in(window):
    """Every text that the window shows in a label."""
    return [name_of(a) for a in find_all(window, "label")] + [name_of(a) for a in find_all(window, "static")]


def list_items(window, role="list item"):
    return [name_of(a) for a in find_all(window, role)]


def selected_items(window, role="list item"):
    return [name_of(a) for a in find_all(window, role) if has_state(a, Atspi.StateType.SELECTED)]


# --- Record files (docs/record-files.md) -----------------------------------------

def records(path, slot, data):
    try:
        with open(path, "rb") as f:
            content = f.read()
    except FileNotFoundError:
        return []
    count = round(len(content) / slot)
    return [content[i * slot:i * slot + data].ljust(data, b"\0") for i in range(count)]


def text(rec, offset, width):
    return rec[offset:offset + width].decode("cp1252").rstrip(" ")


def int16(rec, offset):
    return struct.unpack_from("<h", rec, offset)[0]


def double(rec, offset):
    return struct.unpack_from("<d", rec, offset)[0]


def users(folder):
    return [{"login": text(r, 50, 20), "admin": int16(r, 491), "internet": int16(r, 1792),
             "enforce_websites": int16(r, 1794), "deleted": int16(r, 2078)}
            for r in records(os.path.join(folder, "users.sec"), 4176, 2160)]


def user_log(folder):
    return [{"login": text(r, 0, 20), "computer": text(r, 120, 50), "login_stamp": double(r, 170),
             "logout_stamp": double(r, 178), "failed": int16(r, 186), "active": int16(r, 188),
             "invalid": int16(r, 190)}
            for r in records(os.path.join(folder, "userlog.sec"), 364, 194)]


def website_log(folder):
    return [{"login": text(r, 0, 20), "computer": text(r, 70, 50), "url": text(r, 120, 255),
             "status": text(r, 383, 20)}
            for r in records(os.path.join(folder, "websiteslog.sec"), 804, 405)]


def websites(folder):
    return [text(r, 0, 255) for r in records(os.path.join(folder, "websites.sec"), 1228, 626)]


def user_websites(folder):
    return [(text(r, 0, 20), text(r, 20, 255)) for r in records(os.path.join(folder, "userwebsites.sec"), 554, 279)]


# --- The road ----------------------------------------------------------------

class Road:
    def __init__(self, args, scratch):
        self.args = args
        self.scratch = scratch
        self.data = os.path.join(scratch, "program")
        self.step_number = 0
        self.step_name = "start"
        self.server_log = os.path.join(scratch, "web-server.log")
        self.failures = []

    # -- reporting

    def shot(self, label):
        path = os.path.join(self.args.out, f"{self.step_number:02d}-{label}.png")
        subprocess.run(["import", "-display", os.environ["DISPLAY"], "-window", "root", path],
                       capture_output=True)

    def step(self, name):
        self.step_number += 1
        self.step_name = name
        print(f"-- step {self.step_number}: {name}", flush=True)

    def check(self, condition, what):
        """A check whose failure is reported while the road goes on."""
        if not condition:
            message = f"step {self.step_number} ({self.step_name}): {what}; on screen: {on_screen()}"
            print("FAILED " + message, flush=True)
            self.failures.append(message)
        return condition

    def require(self, condition, what):
        if not condition:
            raise StepFailed(what)

    # -- windows

    def wait_window(self, title, containing=None, timeout=DEADLINE):
        """Waits for a visible window of exactly that title; returns (X id, accessible window)."""
        def found():
            windows = visible_windows(title)
            acc = ui_window(title, containing) if windows else None
            return (windows[0], acc) if acc is not None else None
        window, acc = wait_until(f"a visible window titled '{title}'"
                                 + (f" showing '{containing}'" if containing else ""), found, timeout)
        self.wholly_on_screen(acc, title)
        return window, acc

    def wholly_on_screen(self, acc, title):
        """A window opens wholly on the screen, every column of its lists in view."""
        ext = acc.get_extents(Atspi.CoordType.SCREEN)
        self.check(ext.x >= 0 and ext.y >= 0 and ext.x + ext.width <= SCREEN[0] and ext.y + ext.height <= SCREEN[1],
                   f"'{title}' lies wholly on the {SCREEN[0]}x{SCREEN[1]} screen: {ext.x},{ext.y} {ext.width}x{ext.height}")
        for table in [a for a in find_all(acc) if role_of(a) in ("table", "tree table", "tree")]:
            right = right_edge(table)
            cut = [name_of(h) for h in find_all(table) if role_of(h) in ("column header", "table column header")
                   and right_edge(h) > right]
            self.check(not cut, f"'{title}' shows every column of its list; cut: {cut}")

    def wait_gone(self, window, timeout=DEADLINE):
        wait_until(f"window {window} to close",
                   lambda: window not in xdo("search", "--onlyvisible", "--name", ".", check=False), timeout)

    def wait_active(self, window, title):
        try:
            wait_until(f"'{title}' to have the focus", lambda: active_window() in visible_windows(title), 5)
            return True
        except StepFailed:
            return self.check(False, f"'{title}' is on screen without the focus (active: "
                                     f"'{window_name(active_window())}')")

    def message_box(self, text):
        """The program's message box (titled with its name) showing that text."""
        return self.wait_window(T_PROGRAM, containing=text)[0]

    def console(self, user):
        window, acc = self.wait_window(T_CONSOLE, containing=f"User: {user}")
        self.wait_active(window, T_CONSOLE)
        return window, acc

    def launch_from_console(self, acc, item):
        """Selects an item of the console's list by typing its first letters, then Enter."""
        type_text(item[:4].lower())
        wait_until(f"'{item}' selected in the console", lambda: selected_items(acc) == [item], 5)
        key("Return")

    def open_browser(self, console):
        """The console's Web Browser, with the pointer in its address box; (window, accessible, address boxes)."""
        self.launch_from_console(console, "Web Browser")
        browser_window, browser = self.wait_window(T_BROWSER)
        self.wait_active(browser_window, T_BROWSER)
        address = [a for a in find_all(browser, "text") if role_of(a) == "text"]
        self.require(address, "the browser has an address box")
        click(address[0])
        return browser_window, browser, address

    def log_in(self, login, password):
        window, acc = self.wait_window(T_LOGIN, containing="Password Required")
        self.wait_active(window, T_LOGIN)
        type_text(login)
        key("Return")  # to the password box
        type_text(password)
        self.shot(f"login-{login}")
        key("Return")
        return window, acc

    def run_wizard(self, title, login, name, password):
        window, acc = self.wait_window(title)
        self.wait_active(window, title)
        type_text(login)
        key("Tab")
        type_text(name)
        self.shot("wizard-basic-information")
        # Tab leaves the name for the description, then for the first button that
        # may be pressed (Cancel, or Next where Cancel is off): never a hidden step.
        key("Tab", "Tab")
        first = "Next >" if title == T_PRIMARY_WIZARD else "Cancel"
        focused = [(role_of(a), name_of(a)) for a in find_all(acc) if has_state(a, Atspi.StateType.FOCUSED)]
        self.check(focused == [("push button", first)], f"after the description Tab reaches {first}, not {focused}")
        click(control(acc, "push button", "Next >"))
        wait_until("the password step", lambda: find_all(acc, "password text"))
        type_text(password)
        key("Tab")
        type_text(password)
        self.shot("wizard-passwords")
        click(control(acc, "push button", "Next >"))
        finish = wait_until("Finish enabled",
                            lambda: [b for b in find_all(acc, "push button", "Finish")
                                     if has_state(b, Atspi.StateType.ENABLED)])
        click(finish[0])
        self.wait_gone(window)

    # -- the steps

    def run(self):
        port = self.start_web_server()
        site = f"http://127.0.0.1:{port}"
        allowed = f"{site}/carol/index.html"
        refused = f"{site}/private/index.html"
        self.start_program()

        self.step("the wizard creates the first administrator")
        self.run_wizard(T_PRIMARY_WIZARD, ADMIN, "The Administrator", ADMIN_PASSWORD)
        self.shot("first-administrator")
        accounts = wait_until("the administrator in users.sec", lambda: users(self.data))
        self.check([(u["login"], u["admin"]) for u in accounts] == [(ADMIN, -1)],
                   f"users.sec holds the administrator only: {accounts}")

        self.step("the administrator logs in")
        self.log_in(ADMIN, ADMIN_PASSWORD)
        log = wait_until("the session in userlog.sec", lambda: user_log(self.data))
        self.check([(r["login"], r["active"], r["failed"], r["computer"]) for r in log] == [(ADMIN, -1, 0, "WS-ROAD")],
                   f"userlog.sec holds the open session: {log}")

        self.step("the console in its default view")
        window, console = self.console(ADMIN)
        self.shot("administrator-console")
        self.check(list_items(console) == ["Web Browser", "Corvane", "Security", "Options", "Change Password",
                                           "Log Off"], f"the administrator's items: {list_items(console)}")
        # Large Icons: a list of icons, not the details table.
        self.check(find_all(console, "list") and not find_all(console, "tree table") and not find_all(console, "table"),
                   "the console opens in Large Icons")

        self.step("Enter on Corvane opens user administration")
        self.launch_from_console(console, "Corvane")
        users_window, users_acc = self.wait_window(T_PROGRAM, containing="Users")
        self.shot("user-administration")
        off_the_taskbar(self, users_window, "user administration")
        self.check(ADMIN in list_items(users_acc, "table cell"),
                   f"the user list shows the administrator: {list_items(users_acc, 'table cell')}")

        self.step("website logging switched on and the catalogue website added")
        click(control(users_acc, "page tab", "Advanced"))
        log_box = wait_until("the Enable Website Log box", lambda: find_all(users_acc, "check box", "Enable Website Log"))
        click(log_box[0])
        wait_until("website logging ticked", lambda: has_state(log_box[0], Atspi.StateType.CHECKED))
        click(control(users_acc, "push button", "Apply"))
        self.shot("website-log-on")
        click(control(users_acc, "push button", "Websites"))
        catalogue_window, catalogue = self.wait_window(T_WEBSITES)
        click(control(catalogue, "push button", "Add"))
        editor_window, editor = self.wait_window(T_NEW_WEBSITE)
        self.wait_active(editor_window, T_NEW_WEBSITE)
        type_text(allowed)
        key("Tab")
        type_text("Carol's start page")
        self.shot("new-website")
        click(control(editor, "push button", "OK"))
        self.wait_gone(editor_window)
        wait_until("the website in the catalogue window", lambda: allowed in list_items(catalogue, "table cell"))
        self.shot("website-catalogue")
        self.check(websites(self.data) == [allowed], f"websites.sec holds the website: {websites(self.data)}")
        click(control(catalogue, "push button", "Cancel"))
        self.wait_gone(catalogue_window)

        self.step("the wizard adds carol")
        click(control(users_acc, "page tab", "Users"))
        click(control(users_acc, "push button", "Add"))
        self.run_wizard(T_WIZARD, CAROL, "Carol", CAROL_PASSWORD)
        wait_until("carol in the user list", lambda: CAROL in list_items(users_acc, "table cell"))
        self.shot("carol-added")
        self.check([(u["login"], u["admin"]) for u in users(self.data)] == [(ADMIN, -1), (CAROL, 0)],
                   f"users.sec holds carol as a standard user: {users(self.data)}")

        self.step("carol gets the website, websites enforced")
        cell = [c for c in find_all(users_acc, "table cell", CAROL)]
        self.require(cell, "carol is in the user list")
        click(cell[0])
        click(control(users_acc, "push button", "Edit"))
        editor_window, editor = self.wait_window(f"Details - {CAROL}")
        click(control(editor, "page tab", "Internet"))
        internet = wait_until("the Internet page", lambda: find_all(editor, "check box", "Enable Internet Access"))
        click(internet[0])
        site_item = wait_until("the catalogue website in the editor",
                               lambda: [a for a in find_all(editor) if name_of(a) == allowed])
        click(site_item[0])
        click(control(editor, "push button", "Add >"))
        enforce = control(editor, "check box", "Allowed Websites only")
        if not has_state(enforce, Atspi.StateType.CHECKED):
            click(enforce)
        wait_until("websites enforced", lambda: has_state(enforce, Atspi.StateType.CHECKED))
        self.shot("carol-internet")
        click(control(editor, "push button", "OK"))
        self.wait_gone(editor_window)
        carol = [u for u in users(self.data) if u["login"] == CAROL]
        self.check(carol and carol[0]["internet"] == -1 and carol[0]["enforce_websites"] == -1,
                   f"carol's internet access and enforced websites in users.sec: {carol}")
        self.check(user_websites(self.data) == [(CAROL, allowed)],
                   f"userwebsites.sec links carol to the website: {user_websites(self.data)}")
        click(control(users_acc, "push button", "OK"))
        self.wait_gone(users_window)

        self.step("the administrator logs off")
        window, console = self.console(ADMIN)
        self.launch_from_console(console, "Log Off")
        window, console = self.console("Anonymous")
        self.shot("logged-off")
        log = user_log(self.data)
        self.check(log and log[0]["active"] == 0 and log[0]["logout_stamp"] >= log[0]["login_stamp"] > 0,
                   f"userlog.sec closes the administrator's session: {log}")

        self.step("carol: a wrong password, then the right one")
        key("Return")  # any item asks for the login first
        login_window, _ = self.log_in(CAROL, "wrong")
        box_window = self.message_box(MSG_445)
        self.shot("wrong-password")
        box_holds_the_screen(self, login_window, box_window)
        key("Return")
        self.wait_gone(box_window)
        self.wait_active(login_window, T_LOGIN)
        login_holds_again(self, login_window)
        strangers_stay_beneath(self, login_window)
        key("ctrl+a")
        type_text(CAROL_PASSWORD)
        key("Return")

        self.step("carol's console")
        window, console = self.console(CAROL)
        self.shot("carol-console")
        screen_free_again(self)
        self.check(list_items(console) == ["Web Browser", "Change Password", "Log Off"],
                   f"carol's items: {list_items(console)}")
        log = user_log(self.data)
        self.check([(r["login"], r["failed"], r["active"]) for r in log[1:]] == [(CAROL, -1, 0), (CAROL, 0, -1)],
                   f"userlog.sec: carol's refused attempt, then her session: {log}")

        self.step("the browser refuses an address typed with Enter")
        browser_window, browser, address = self.open_browser(console)
        type_text(refused)
        key("Return")
        try:
            box_window = self.message_box(MSG_425.format(refused))
            self.shot("refused-address")
            key("Return")
            self.wait_gone(box_window)
        except StepFailed as failed:
            self.shot("refused-address")
            self.check(False, f"no message 425 after Enter on a refused address ({failed})")
        # Status 165 stands only until the busy timer's next tick writes "Done".
        entries = website_log(self.data)
        self.check([(e["login"], e["url"], e["status"]) for e in entries] == [(CAROL, refused, "URL DENIED")],
                   f"websiteslog.sec holds the refusal: {entries}")
        self.check("/private/" not in open(self.server_log).read(), "the refused page was never requested")

        self.step("the browser opens an allowed address typed with Enter")
        self.wait_active(browser_window, T_BROWSER)
        click(address[0])
        key("ctrl+a")
        type_text(allowed)
        key("Return")
        # The page, then the icon that only the web engine asks for.
        wait_until("the web server to serve the page", lambda: re.search(
            r'"GET /carol/index\.html .*"GET /favicon\.ico ', open(self.server_log).read(), re.S), 30)
        self.shot("allowed-address")
        accepted = wait_until("the visit in websiteslog.sec",
                              lambda: [e for e in website_log(self.data) if e["status"] == "URL ACCEPTED"])
        self.check([(e["login"], e["url"]) for e in accepted] == [(CAROL, allowed)],
                   f"websiteslog.sec holds the visit: {accepted}")

        self.pupil_save_as_over_own_files(browser_window, browser)
        self.pupil_save_as_over_start_files(browser)
        self.pupil_save_as_over_login_files(browser)
        self.pupil_read_me_refused(browser)
        self.pupil_print_chooser_cannot_rename(browser)
        self.pupil_page_pickers_hand_out_nothing(browser, address[0])

        self.step("carol logs off")
        key("alt+F4")
        window, console = self.console(CAROL)
        self.launch_from_console(console, "Log Off")
        window, console = self.console("Anonymous")
        self.shot("carol-logged-off")
        log = user_log(self.data)
        self.check(len(log) == 3 and log[2]["active"] == 0, f"userlog.sec closes carol's session: {log}")

        self.step("the administrator logs in again")
        key("Return")
        hold_the_screen(self)
        self.log_in(ADMIN, ADMIN_PASSWORD)
        self.check(not visible_windows(T_PRIMARY_WIZARD), "after a log-off an item opens the login, never the wizard")
        window, console = self.console(ADMIN)
        self.shot("administrator-again")
        screen_free_again(self)
        self.wait_active(window, T_CONSOLE)

        self.step("the user-log viewer shows the sessions")
        self.launch_from_console(console, "Corvane")
        users_window, users_acc = self.wait_window(T_PROGRAM, containing="Users")
        click(control(users_acc, "page tab", "Advanced"))
        click(wait_until("the User Log button", lambda: find_all(users_acc, "push button", "User Log"))[0])
        viewer_window, viewer = self.wait_window(T_USER_LOG)
        rows = wait_until("four sessions in the viewer",
                          lambda: [c for c in list_items(viewer, "table cell") if c in (ADMIN, CAROL)]
                          if len([c for c in list_items(viewer, "table cell") if c in (ADMIN, CAROL)]) >= 4 else None)
        self.shot("user-log")
        self.check(sorted(rows) == sorted([ADMIN, CAROL, CAROL, ADMIN]), f"the viewer's logins: {rows}")
        self.check(any("1 Active User" in t for t in texts_in(viewer)), f"one active user: {texts_in(viewer)}")
        log = user_log(self.data)
        self.check([(r["login"], r["active"]) for r in log] == [(ADMIN, 0), (CAROL, 0), (CAROL, 0), (ADMIN, -1)],
                   f"userlog.sec holds the four attempts: {log}")

        self.cancel_in_user_editor(users_acc, viewer_window, viewer)
        self.private_files()

    def cancel_in_user_editor(self, users_acc, viewer_window, viewer):
        """The user editor's Cancel, pressed with a real click, closes it and writes nothing."""
        self.step("the user editor's Cancel closes it and leaves the record")
        click(control(viewer, "push button", "Close"))
        self.wait_gone(viewer_window)
        click(control(users_acc, "page tab", "Users"))
        cell = [c for c in find_all(users_acc, "table cell", CAROL)]
        self.require(cell, "carol is in the user list")
        click(cell[0])
        before = open(os.path.join(self.data, "users.sec"), "rb").read()
        click(control(users_acc, "push button", "Edit"))
        editor_window, editor = self.wait_window(f"Details - {CAROL}")
        disabled = control(editor, "check box", "User Account is Disabled")
        click(disabled)
        wait_until("carol's account ticked disabled", lambda: has_state(disabled, Atspi.StateType.CHECKED), 5)
        self.shot("editor-before-cancel")
        click(control(editor, "push button", "Cancel"))
        try:
            self.wait_gone(editor_window, 5)
        except StepFailed:
            self.shot("editor-after-cancel")
            self.require(False, f"'Details - {CAROL}' still on screen after a click on Cancel")
        self.shot("editor-cancelled")
        self.check(open(os.path.join(self.data, "users.sec"), "rb").read() == before,
                   "users.sec is unchanged after Cancel")

    # -- the pupil's way to Corvane's own files

    def pupil_save_as_over_own_files(self, browser_window, browser):
        """Carol, whose websites are enforced, saves the page over users.sec and over the machine hive."""
        for label, target in (("users.sec", os.path.join(self.data, "users.sec")),
                              ("the machine hive", os.path.join(self.scratch, "registry", "machine.db"))):
            folder = os.path.realpath(os.path.dirname(target))
            self.save_as_refused(browser, label, target, MSG_OWN_FILES.format(folder))

    def save_as(self, browser, target):
        """File > Save As with the name typed into the chooser; yes when it asks to replace a file that is there."""
        existed = os.path.exists(target)
        # The caption is the page's title once it has loaded, "Web Browser" while busy.
        wait_until("the browser to have the focus", lambda: active_window() in
                   visible_windows(T_BROWSER) + visible_windows("Carol's page"), 5)
        menu = [a for a in find_all(browser, name="File") if role_of(a) in ("menu", "menu item")]
        self.require(menu, f"a File menu in the browser: {[(role_of(a), name_of(a)) for a in find_all(browser)][:40]}")
        click(menu[0])
        item = wait_until("File > Save As", lambda: [a for w in app_windows()
                                                     for a in find_all(w, "menu item", "Save As")], 5)
        click(item[0])
        dialog_window, _ = self.wait_window(T_SAVE_AS)
        self.wait_active(dialog_window, T_SAVE_AS)
        key("ctrl+a")
        type_text(target)
        key("Return")
        if existed:
            confirm = wait_until("the chooser's question to replace the file",
                                 lambda: [b for w in app_windows() if name_of(w) == T_SAVE_AS
                                          for b in find_all(w, "push button", "Yes")])
            click(confirm[0])

    def save_as_refused(self, browser, label, target, message):
        """File > Save As over a file that is there, or at a new name: the message, and the file (or its
        absence) and its folder unchanged."""
        self.step(f"Save As over {label} is refused")
        folder = os.path.realpath(os.path.dirname(target))
        content = lambda: open(target, "rb").read() if os.path.exists(target) else None
        before, names = content(), sorted(os.listdir(folder))
        self.save_as(browser, target)
        box_window = self.message_box(message)
        self.shot(f"save-as-refused-{label.replace(' ', '-')}")
        key("Return")
        self.wait_gone(box_window)
        self.check(not visible_windows(T_SAVE_AS), "the chooser has closed")
        self.check(content() == before, f"{label} is unchanged byte for byte")
        self.check(sorted(os.listdir(folder)) == names, f"nothing new in {folder}")

    def pupil_save_as_over_start_files(self, browser):
        """Carol saves the page over Corvane's autostart entry and over the desktop's association list,
        which decide what starts."""
        config = os.path.join(self.scratch, "home", ".config")
        for label, target, text in (
                ("the autostart entry", os.path.join(config, "autostart", "corvane.desktop"),
                 f"[Desktop Entry]\nType=Application\nName=Corvane Standard\nExec={self.args.corvane}\n"),
                ("mimeapps.list", os.path.join(config, "mimeapps.list"), "[Default Applications]\n")):
            os.makedirs(os.path.dirname(target), exist_ok=True)
            with open(target, "w") as f:
                f.write(text)
            self.save_as_refused(browser, label, target, MSG_START_PLACE.format(os.path.realpath(target)))

    def pupil_save_as_over_login_files(self, browser):
        """Carol saves the page over ~/.profile and as a new ~/.config/autostart/x.desktop, both read by the
        account's next login: refused, the files unchanged; a save into Documents is written."""
        home = os.path.join(self.scratch, "home")
        profile = os.path.join(home, ".profile")
        with open(profile, "w") as f:
            f.write("# the account's own profile\n")
        self.save_as_refused(browser, "the profile", profile, MSG_START_PLACE.format(os.path.realpath(profile)))
        config = os.path.join(home, ".config")
        entry = os.path.join(config, "autostart", "x.desktop")
        os.makedirs(os.path.dirname(entry), exist_ok=True)
        self.save_as_refused(browser, "a new autostart entry", entry, MSG_START_PLACE.format(os.path.realpath(config)))
        self.check(not os.path.exists(entry), "no x.desktop in ~/.config/autostart")

        self.step("Save As into Documents is written")
        saved = os.path.join(home, "Documents", "carol-page.html")
        os.makedirs(os.path.dirname(saved), exist_ok=True)
        self.save_as(browser, saved)
        wait_until("the page in Documents", lambda: os.path.exists(saved) and b"<h1>" in open(saved, "rb").read(), 20)
        self.shot("save-as-documents")
        self.check(not visible_windows(T_SAVE_AS), "the chooser has closed")
        self.check(not visible_windows(T_PROGRAM), "no message after the save into Documents")

    def pupil_read_me_refused(self, browser):
        """Help > Read Me would start the desktop's text editor, which Carol was not given: message
        425, and the editor never starts."""
        self.step("Help > Read Me with an editor carol was not given is refused")
        home = os.path.join(self.scratch, "home")
        started = os.path.join(self.scratch, "marker-editor")
        editor = os.path.join(self.scratch, "road-editor")
        with open(editor, "w") as f:
            f.write(f"#!/bin/sh\ntouch '{started}'\n")
        os.chmod(editor, 0o755)
        applications = os.path.join(home, ".local", "share", "applications")
        os.makedirs(applications, exist_ok=True)
        os.makedirs(os.path.join(home, ".config"), exist_ok=True)
        with open(os.path.join(applications, "road-editor.desktop"), "w") as f:
            f.write(f"[Desktop Entry]\nType=Application\nName=Road Editor\nExec={editor} %f\n")
        with open(os.path.join(home, ".config", "mimeapps.list"), "w") as f:
            f.write("[Default Applications]\ntext/plain=road-editor.desktop;\n")
        read_me = os.path.join(self.data, "Readme.txt")
        with open(read_me, "w") as f:
            f.write("read me\n")
        try:
            menu = [a for a in find_all(browser, name="Help") if role_of(a) in ("menu", "menu item")]
            self.require(menu, "a Help menu in the browser")
            click(menu[0])
            item = wait_until("Help > Read Me", lambda: [a for w in app_windows()
                                                       for a in find_all(w, "menu item", "Read Me")], 5)
            click(item[0])
            # The console's refusal of a program, which names none.
            box_window = self.message_box("Access denied. You do not have the required permission!")
            self.shot("read-me-refused")
            key("Return")
            self.wait_gone(box_window)
            self.check(not os.path.exists(started), "the desktop's editor did not start")
        finally:
            os.remove(read_me)

    def menu_item(self, browser, menu_name, item_prefix):
        menu = [a for a in find_all(browser, name=menu_name) if role_of(a) in ("menu", "menu item")]
        self.require(menu, f"a {menu_name} menu in the browser")
        click(menu[0])
        item = wait_until(f"{menu_name} > {item_prefix}", lambda: [a for w in app_windows()
                                                                  for a in find_all(w, "menu item")
                                                                  if name_of(a).startswith(item_prefix)], 5)
        click(item[0])

    def folder_state(self):
        return {folder: sorted(os.listdir(folder)) for folder in (self.scratch, self.data,
                                                                  os.path.join(self.scratch, "registry"))}

    def pupil_print_chooser_cannot_rename(self, browser):
        """File > Print's "..." opens Corvane's own read-only chooser: on the data folder nothing on
        it renames, deletes or makes a folder, and the Delete key does nothing."""
        self.step("the print dialog's chooser renames and deletes nothing")
        before, users_before = self.folder_state(), open(os.path.join(self.data, "users.sec"), "rb").read()
        self.menu_item(browser, "File", "Print")
        print_window, print_acc = self.wait_window(T_PRINT)
        browse = wait_until("the print dialog's '...'", lambda: [a for a in find_all(print_acc, "push button", "...")
                                                                 if has_state(a, Atspi.StateType.ENABLED)])
        click(browse[0])
        chooser_window, chooser = self.wait_window(T_SAVE_AS)
        self.wait_active(chooser_window, T_SAVE_AS)
        key("ctrl+a")
        # The data folder itself, as it lies in its parent: the folder the pupil would rename.
        type_text(os.path.dirname(self.data) + "/")
        key("Return")
        entry = wait_until("the data folder in the chooser", lambda: [a for a in find_all(chooser, name="program")
                                                                      if role_of(a) in ("list item", "table cell",
                                                                                        "tree item")])
        click(entry[0])
        key("Delete")
        self.shot("print-chooser-on-data-folder")
        # Rename from the context menu by its key, as a person would, then New Folder.
        xdo("click", "3")
        context_menu_open()
        self.shot("print-chooser-menu")
        key("r")
        type_text("gone")
        key("Return")
        key("Escape")
        wait_until("the chooser's context menu closed", lambda: not popup_at_pointer(), 10)
        xdo("click", "3")
        context_menu_open()
        key("n")
        key("Escape")
        new_folder = [a for a in find_all(chooser, "push button") if name_of(a) == "Create New Folder"]
        self.check(new_folder and not has_state(new_folder[0], Atspi.StateType.ENABLED),
                   f"the chooser's Create New Folder is off: {[name_of(a) for a in find_all(chooser, 'push button')]}")
        self.check(self.folder_state() == before, f"nothing renamed, deleted or made: {self.folder_state()}")
        for window in (chooser_window, print_window):
            wait_until(f"window {window} closed by Escape", lambda: window not in xdo(
                "search", "--onlyvisible", "--name", ".", check=False) or key("Escape"), 10)
        self.check(self.folder_state() == before, "the data and registry folders are as they were")
        self.check(open(os.path.join(self.data, "users.sec"), "rb").read() == users_before, "users.sec is unchanged")

    def pupil_page_pickers_hand_out_nothing(self, browser, address):
        """Carol's allowed page asks for an upload and for a save file: users.sec is refused with a
        message and never reaches the server, her own file does; the save picker does not exist."""
        self.step("the page's upload and save pickers hand out nothing of Corvane's")
        page = os.path.join(self.scratch, "site", "carol", "index.html")
        with open(page, "w") as f:
            f.write("<!DOCTYPE html><html><head><title>Carol's page</title></head><body style='margin:0'>"
                    "<input type=file id=f style='position:fixed;left:0;top:0;width:100vw;height:50vh' "
                    "onchange=\"fetch('/uploaded?'+encodeURIComponent(this.files[0].name)+'&'+this.files[0].size)\">"
                    "<button style='position:fixed;left:0;top:50vh;width:100vw;height:50vh' onclick=\"(async()=>"
                    "{try{await showSaveFilePicker();fetch('/save-picked')}catch(e){fetch('/save-refused?'+e.name)}})()"
                    "\">Save a copy</button></body></html>\n")
        homework = os.path.join(self.scratch, "home", "homework.txt")
        with open(homework, "w") as f:
            f.write("my essay\n")
        before, users_before = self.folder_state(), open(os.path.join(self.data, "users.sec"), "rb").read()
        click(control(browser, "push button", "Refresh"))
        wait_until("the page with its pickers", lambda: open(self.server_log).read().count("GET /carol/index.html") >= 2,
                   15)
        # Once the reloaded page is done, the browser's caption is the page's title.
        window = wait_until("the reloaded page in the browser's caption", lambda: ui_window("Carol's page"))
        view = address.get_extents(Atspi.CoordType.SCREEN)
        self.require(window is not None, "the browser window")
        frame = window.get_extents(Atspi.CoordType.SCREEN)
        top, bottom = view.y + view.height, frame.y + frame.height
        x = frame.x + frame.width // 2
        upload_y, save_y = top + (bottom - top) // 5, top + (bottom - top) * 3 // 4

        for target, handed in ((os.path.join(self.data, "users.sec"), False), (homework, True)):
            xdo("mousemove", "--sync", str(x), str(upload_y))
            xdo("click", "1")
            chooser_window, _ = self.wait_window(T_OPEN)
            self.wait_active(chooser_window, T_OPEN)
            key("ctrl+a")
            type_text(target)
            key("Return")
            if handed:
                wait_until("the page's upload of carol's own file",
                           lambda: "GET /uploaded?homework.txt&9" in open(self.server_log).read(), 10)
            else:
                box_window = self.message_box(MSG_NOT_HANDED.format(os.path.realpath(self.data)))
                self.shot("upload-refused")
                key("Return")
                self.wait_gone(box_window)
            self.wait_gone(chooser_window)
        self.check("/uploaded?users.sec" not in open(self.server_log).read(), "users.sec never reached the page")

        xdo("mousemove", "--sync", str(x), str(save_y))
        xdo("click", "1")
        wait_until("the page's save picker refused", lambda: "GET /save-refused" in open(self.server_log).read(), 10)
        self.shot("save-picker-refused")
        self.check(not visible_windows(T_SAVE_AS), "no chooser for the page's save picker")
        self.check("/save-picked" not in open(self.server_log).read(), "the page got no file to write")
        self.check(self.folder_state() == before, "the data and registry folders are as they were")
        self.check(open(os.path.join(self.data, "users.sec"), "rb").read() == users_before, "users.sec is unchanged")

    def private_files(self):
        """Nothing the program made on the road is for another account (mode 0600, folders 0700)."""
        self.step("every file the program made is private to the account")
        shared = []
        for top in ("program", "registry", "runtime"):
            for folder, subfolders, files in os.walk(os.path.join(self.scratch, top)):
                made = [os.path.join(folder, name) for name in files + subfolders]
                shared += [f"{path} {os.lstat(path).st_mode & 0o7777:o}" for path in made
                           if os.lstat(path).st_mode & 0o077]
        self.check(not shared, f"open to others: {shared}")

    # -- after the road: a remote log-off while a page's box is open

    def remote_log_off_under_a_page_alert(self):
        """Carol leaves her page's alert() open; the administrator logs her off from another
        workstation (her session's record closed in userlog.sec). The watchdog's message 510 comes,
        Corvane keeps running, and the next login (the administrator's) works."""
        self.step("a remote log-off while the page's alert is open")
        users_window = visible_windows(T_PROGRAM)
        users_acc = ui_window(T_PROGRAM, containing="Users")
        if users_acc is not None:
            click(control(users_acc, "push button", "OK"))
            self.wait_gone(users_window[0])
        window, console = self.console(ADMIN)
        self.launch_from_console(console, "Log Off")
        window, console = self.console("Anonymous")
        # Carol's page now greets her with a box of its own.
        site = os.path.join(self.scratch, "site", "carol", "index.html")
        with open(site, "w") as f:
            f.write("<!DOCTYPE html><html><head><title>Carol's page</title></head><body><h1>Carol's page</h1>"
                    "<script>setTimeout(() => alert('Left open by carol'), 100)</script></body></html>\n")
        key("Return")
        self.log_in(CAROL, CAROL_PASSWORD)
        window, console = self.console(CAROL)
        self.open_browser(console)
        key("ctrl+a")
        type_text(websites(self.data)[0])
        key("Return")
        alert = self.message_box("Left open by carol")
        self.shot("page-alert-open")

        # What an administrator's log-off on another workstation writes: the record inactive, stamped.
        path = os.path.join(self.data, "userlog.sec")
        log = user_log(self.data)
        open_sessions = [i for i, r in enumerate(log) if r["login"] == CAROL and r["active"] == -1]
        self.require(open_sessions, f"carol's session is open in userlog.sec: {log}")
        record = open_sessions[-1] * 364
        with open(path, "r+b") as f:
            f.seek(record + 178)
            f.write(struct.pack("<d", log[open_sessions[-1]]["login_stamp"]))
            f.seek(record + 188)
            f.write(struct.pack("<h", 0))
        ended = self.message_box("Session Terminated Remotely!")
        self.shot("session-terminated-over-the-alert")
        key("Return")
        self.wait_gone(ended)
        window, console = self.console("Anonymous")
        self.shot("remote-log-off-done")
        corvane = [process for name, process in started if name == "corvane"]
        self.check(corvane and corvane[-1].poll() is None, "Corvane keeps running")
        self.check(alert not in xdo("search", "--onlyvisible", "--name", ".", check=False), "the page's box is gone")
        self.check(not visible_windows(T_BROWSER), "carol's browser is gone")

        self.step("after the remote log-off the next login works")
        key("Return")
        self.log_in(ADMIN, ADMIN_PASSWORD)
        window, console = self.console(ADMIN)
        self.shot("next-login-after-remote-log-off")
        log = user_log(self.data)
        self.check([(r["login"], r["active"]) for r in log[-2:]] == [(CAROL, 0), (ADMIN, -1)],
                   f"userlog.sec: carol's session closed, the administrator's open: {log}")

    # -- after the road: the data folder renamed while the program runs

    def data_folder_renamed_mid_session(self):
        """The data folder renamed under the administrator's session (a chooser's Rename would do it):
        the session ends, the first-administrator wizard never opens and every login is refused. The
        error log, in the program folder that went with it, says so once when that is there again."""
        self.step("the data folder renamed mid-session: no wizard and no access")
        moved = self.data + ".old"
        os.rename(self.data, moved)
        self.cancelled = 0
        try:
            self.shot("data-folder-renamed")
            # The watchdog finds the data folder gone: Cancel to each question about it (here and
            # below) ends the session.
            self.wait_cancelling("the session to end", lambda: ui_window(T_CONSOLE, containing="User: Anonymous"))
            self.check(self.cancelled, "the watchdog asked about the data folder")
            window, console = self.console("Anonymous")
            self.shot("data-folder-session-ended")
            # Any item asks for the login, which first tells of the missing table; so does each
            # attempt, which is refused.
            key("Return")
            self.table_message()
            self.refused_login()
            # The folder made again empty (as scripts/run.sh would): still damage, now in the log.
            os.makedirs(self.data)
            self.refused_login()
            self.refused_login()
            errors = open(os.path.join(self.data, "Corvane_ErrorLog.txt"), encoding="cp1252").read()
            self.check(errors.count(MSG_ACCOUNT_TABLE) == 1, f"the error log reports it once: {errors!r}")
            self.check(not users(self.data), "no account was made in the new folder")
        finally:
            self.shot("data-folder-end")
            self.stop_program()
            shutil.rmtree(self.data, ignore_errors=True)
            os.rename(moved, self.data)

    def wait_cancelling(self, what, condition):
        """Waits for the condition, pressing Cancel on every question about the data folder."""
        def cancelling():
            for acc in app_windows():
                if name_of(acc) == T_PROGRAM and any(t.startswith(MSG_NO_DATA_SOURCE) for t in texts_in(acc)):
                    if not self.cancelled:
                        self.shot("data-source-gone")
                    self.cancelled += 1
                    click(control(acc, "push button", "Cancel"))
                    return None
            return condition()
        return wait_until(what, cancelling, 40)

    def table_message(self):
        """The message that the account table is missing, answered."""
        window = self.wait_cancelling("the message that the account table is missing", lambda: next(
            (visible_windows(T_PROGRAM)[0] for acc in app_windows() if name_of(acc) == T_PROGRAM
             and any(t.startswith(MSG_ACCOUNT_TABLE) for t in texts_in(acc))), None))
        self.shot("account-table-missing")
        key("Return")
        self.wait_gone(window)

    def refused_login(self):
        """The administrator's own login and password: refused for the missing table, and no wizard,
        user window or session follows."""
        self.wait_cancelling("the login", lambda: ui_window(T_LOGIN, containing="Password Required"))
        self.wait_active(visible_windows(T_LOGIN)[0], T_LOGIN)
        key("ctrl+a")
        type_text(ADMIN)
        key("Return")
        key("ctrl+a")
        type_text(ADMIN_PASSWORD)
        key("Return")
        self.table_message()
        self.shot("login-refused")
        self.check(not visible_windows(T_PRIMARY_WIZARD), "no first-administrator wizard")
        self.check(not ui_window(T_PROGRAM, containing="Users"), "no user administration")
        self.check(not ui_window(T_CONSOLE, containing=f"User: {ADMIN}"), "no session of the administrator")

    # -- after the road: an account table cut short

    def restart_with_a_short_account_table(self):
        """users.sec cut short after set-up: the next start reports it and asks for a login, and
        the first-administrator wizard never opens, neither then nor from the console."""
        self.step("users.sec cut short: the next start reports it and never offers the wizard")
        self.stop_program()
        with open(os.path.join(self.data, "users.sec"), "r+b") as table:
            table.truncate(100)
        # The login may be cancelled this time, so the console's way to it is walked too.
        self.start_program(holds=[f"{name}=False" for name in HOLD_OPTIONS])
        window, _ = wait_until("the message that the account table is damaged", lambda: next(
            ((w, acc) for w in visible_windows(T_PROGRAM) for acc in [ui_window(T_PROGRAM)]
             if acc is not None and any(t.startswith(MSG_ACCOUNT_TABLE) for t in texts_in(acc))), None))
        self.shot("account-table-damaged")
        key("Return")
        self.wait_gone(window)
        window, _ = self.wait_window(T_LOGIN, containing="Password Required")
        self.check(not visible_windows(T_PRIMARY_WIZARD), "no first-administrator wizard at start-up")
        key("Escape")
        self.wait_gone(window)
        self.console("Anonymous")
        key("Return")
        self.wait_window(T_LOGIN, containing="Password Required")
        self.shot("login-not-wizard")
        self.check(not visible_windows(T_PRIMARY_WIZARD), "no first-administrator wizard from the console")
        errors = open(os.path.join(self.data, "Corvane_ErrorLog.txt"), encoding="cp1252").read()
        self.check(errors.count(MSG_ACCOUNT_TABLE) == 1, f"the error log reports it once: {errors!r}")
        self.check(os.path.getsize(os.path.join(self.data, "users.sec")) == 100, "users.sec is left as it was")

    # -- setting up

    def stop_program(self):
        for name, proc in started:
            if name == "corvane" and proc.poll() is None:
                os.killpg(proc.pid, signal.SIGTERM)
                proc.wait(timeout=DEADLINE)

    def start_web_server(self):
        site = os.path.join(self.scratch, "site")
        for page, title in (("carol", "Carol's page"), ("private", "Private page")):
            os.makedirs(os.path.join(site, page))
            with open(os.path.join(site, page, "index.html"), "w") as f:
                f.write(f"<!DOCTYPE html><html><head><title>{title}</title></head>"
                        f"<body><h1>{title}</h1></body></html>\n")
        server = start("web server", [sys.executable, "-u", "-m", "http.server", "0", "--bind", "127.0.0.1",
                                      "--directory", site],
                       stdout=subprocess.PIPE, stderr=open(self.server_log, "w"), text=True)
        line = read_line(server.stdout, DEADLINE, "the web server")
        found = re.search(r"port (\d+)", line)
        if not found:
            raise StepFailed(f"the web server said: {line!r}")
        return int(found.group(1))

    def start_program(self, holds=None):
        holds = HOLD_OPTIONS if holds is None else holds
        env = dict(os.environ,
                   CORVANE_PROGRAM_DIR=self.data,
                   CORVANE_REGISTRY_DIR=os.path.join(self.scratch, "registry"),
                   CORVANE_RUNTIME_DIR=os.path.join(self.scratch, "runtime"),
                   CORVANE_COMPUTER_NAME="WS-ROAD",
                   CORVANE_STATE_DIR=os.path.join(self.scratch, "state"),
                   CORVANE_TEST="1",
                   HOME=os.path.join(self.scratch, "home"),
                   XDG_CONFIG_HOME=os.path.join(self.scratch, "home", ".config"),
                   XDG_DATA_HOME=os.path.join(self.scratch, "home", ".local", "share"),
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                   QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu")
        env.pop("QT_QPA_PLATFORM", None)
        for folder in ("program", "registry", "runtime", "home"):
            os.makedirs(os.path.join(self.scratch, folder), exist_ok=True)
        subprocess.run([self.args.seed, *holds], env=env, check=True, capture_output=True)
        self.program_log = open(os.path.join(self.scratch, "corvane.log"), "w")
        start("corvane", [self.args.corvane], env=env, stdout=self.program_log, stderr=subprocess.STDOUT)


# --- The login holds the screen ---------------------------------------------
#
# Every login of the road waits with these settings on; openbox carries a key
# binding and a root-menu item of the test's own, each writing a marker file.

HOLD_OPTIONS = ("Cannot Cancel Login", "Hide Desktop During Login", "Hide TaskBar During Login",
                "Clip Mouse To Login", "Lock Task Manager During Login")
T_COVER = "Corvane - Login Cover"
COVER_RGB = (0x1F, 0x2A, 0x38)
MARKER_KEY = "ctrl+alt+m"      # writes the key marker
MENU_KEY = "ctrl+alt+r"        # opens the root menu, whose first item writes the menu marker
SHOW_DESKTOP_KEY, SHOW_DESKTOP_BIND = "super+d", "W-d"  # openbox's own: hides every window


def markers(scratch):
    return os.path.join(scratch, "marker-key"), os.path.join(scratch, "marker-menu")


def write_openbox_rc(scratch):
    """openbox's own configuration with the test's key bindings and root menu added."""
    key_marker, menu_marker = markers(scratch)
    menu = os.path.join(scratch, "openbox-menu.xml")
    with open(menu, "w") as f:
        f.write('<?xml version="1.0"?>\n<openbox_menu xmlns="http://openbox.org/3.4/menu">'
                '<menu id="root-menu" label="Openbox">'
                f'<item label="Road Marker"><action name="Execute"><command>touch {menu_marker}</command>'
                '</action></item></menu></openbox_menu>\n')
    with open("/etc/xdg/openbox/rc.xml") as f:
        rc = f.read()
    binds = (f'<keybind key="C-A-m"><action name="Execute"><command>touch {key_marker}</command></action></keybind>'
             '<keybind key="C-A-r"><action name="ShowMenu"><menu>root-menu</menu></action></keybind>')
    if 'key="W-d"' not in rc:
        binds += f'<keybind key="{SHOW_DESKTOP_BIND}"><action name="ToggleShowDesktop"/></keybind>'
    rc = rc.replace("</keyboard>", binds + "</keyboard>", 1)
    rc = re.sub(r"<file>menu\.xml</file>", f"<file>{menu}</file>", rc, count=1)
    path = os.path.join(scratch, "openbox-rc.xml")
    with open(path, "w") as f:
        f.write(rc)
    return path


def pointer():
    found = dict(item.split(":") for item in xdo("getmouselocation") if ":" in item)
    return int(found["x"]), int(found["y"])


def client_rect(window):
    """The window's place on the screen without its frame: x, y, width, height (xdotool's
    own geometry counts the frame in)."""
    info = subprocess.run(["xwininfo", "-id", window], capture_output=True, text=True).stdout
    found = dict(re.findall(r"^\s*(Absolute upper-left X|Absolute upper-left Y|Width|Height):\s*(-?\d+)", info, re.M))
    return (int(found["Absolute upper-left X"]), int(found["Absolute upper-left Y"]),
            int(found["Width"]), int(found["Height"]))


def screen_pixels():
    """The whole screen as raw RGB bytes."""
    done = subprocess.run(["import", "-display", os.environ["DISPLAY"], "-window", "root", "-depth", "8", "rgb:-"],
                          capture_output=True)
    return done.stdout


CORNERS = ((0, 0), (SCREEN[0] - 1, 0), (0, SCREEN[1] - 1), (SCREEN[0] - 1, SCREEN[1] - 1))


def stray_pixels(rects):
    """Points of a grid over the screen showing something else than the cover, outside the
    given windows (x, y, width, height) and their frames; None when the screen cannot be read."""
    pixels = screen_pixels()
    if len(pixels) != SCREEN[0] * SCREEN[1] * 3:
        return None
    margin = 40  # the window manager's frame around a window
    stray = []
    for sy in range(4, SCREEN[1], 32):
        for sx in range(4, SCREEN[0], 32):
            if any(x - margin <= sx < x + w + margin and y - margin <= sy < y + h + margin for x, y, w, h in rects):
                continue
            at = (sy * SCREEN[0] + sx) * 3
            if tuple(pixels[at:at + 3]) != COVER_RGB:
                stray.append((sx, sy))
    return stray


def check_only_cover_and(road, what, rects):
    stray = stray_pixels(rects)
    road.check(stray == [], f"only the cover and {what} on screen; other pixels at {(stray or [])[:5]}")


def pointer_kept_in(road, window, what):
    """The pointer sent to each corner of the screen stays in the window."""
    x, y, width, height = client_rect(window)
    for corner in CORNERS:
        xdo("mousemove", str(corner[0]), str(corner[1]))
        time.sleep(0.05)
        px, py = pointer()
        road.check(x <= px < x + width and y <= py < y + height,
                   f"the pointer sent to {corner} stays in {what} {x},{y} {width}x{height}: at {px},{py}")


def hold_the_screen(road):
    """With the login waiting: no key binding, no menu, the pointer kept in, nothing but cover and login."""
    road.step("the waiting login holds the screen")
    window, _ = road.wait_window(T_LOGIN, containing="Password Required")
    road.wait_active(window, T_LOGIN)
    key_marker, menu_marker = markers(road.scratch)
    key(MARKER_KEY)
    key(MENU_KEY)
    key("Down", "Return")
    xdo("mousemove", "2", "2", "click", "3")
    key("Down", "Return")
    pointer_kept_in(road, window, "the login window")
    road.shot("login-holds-the-screen")
    check_only_cover_and(road, "the login", [client_rect(window)])
    road.check(visible_windows(T_COVER), "the cover is on screen")
    time.sleep(0.5)  # what the key or the menu started would have written by now
    road.check(not os.path.exists(key_marker) and not os.path.exists(menu_marker),
               f"the desktop's key and menu did nothing: key {os.path.exists(key_marker)}, "
               f"menu {os.path.exists(menu_marker)}")
    # What the login got of the keys above must not stand in its boxes.
    key("ctrl+a", "BackSpace")


def box_holds_the_screen(road, login_window, box_window):
    """While the login's message box is up, the box holds what the login held: no key binding,
    no Super+D, no root menu, the pointer kept in the box, only the cover, the login and the box."""
    road.step("the login's message box holds the screen")
    road.wait_active(box_window, T_PROGRAM)
    key_marker, menu_marker = markers(road.scratch)
    key(MARKER_KEY)
    key(SHOW_DESKTOP_KEY)
    time.sleep(0.3)  # openbox hides every window at once when it gets the key
    road.check(login_window in visible_windows(T_LOGIN) and box_window in visible_windows(T_PROGRAM)
               and visible_windows(T_COVER), f"Super+D hid nothing: {on_screen()}")
    xdo("mousemove", "2", "2", "click", "3")
    pointer_kept_in(road, box_window, "the message box")
    road.shot("message-box-holds-the-screen")
    check_only_cover_and(road, "the login and its box", [client_rect(login_window), client_rect(box_window)])
    time.sleep(0.5)  # what the key or the menu started would have written by now
    road.check(not os.path.exists(key_marker) and not os.path.exists(menu_marker),
               f"the desktop's key and menu did nothing: key {os.path.exists(key_marker)}, "
               f"menu {os.path.exists(menu_marker)}")
    road.wait_active(box_window, T_PROGRAM)


def login_holds_again(road, login_window):
    """The box closed: the login holds the keys and the pointer again."""
    road.step("the box closed, the login holds the screen again")
    key_marker, _ = markers(road.scratch)
    key(MARKER_KEY)
    pointer_kept_in(road, login_window, "the login window")
    time.sleep(0.3)
    road.check(not os.path.exists(key_marker), "the desktop's key binding does nothing")
    key("ctrl+a", "BackSpace")


def viewable_root_child_at(x, y):
    """A mapped child of the root window placed at x, y (an override-redirect window has no name)."""
    tree = subprocess.run(["xwininfo", "-root", "-children"], capture_output=True, text=True).stdout
    for window in re.findall(rf"^\s*(0x[0-9a-f]+) .*\s\d+x\d+\+{x}\+{y}\s", tree, re.M):
        info = subprocess.run(["xwininfo", "-id", window], capture_output=True, text=True).stdout
        if "IsViewable" in info:
            return window
    return None


def strangers_stay_beneath(road, login_window):
    """Windows another program maps while the login waits, framed by the window manager or
    override-redirect, go beneath the cover and leave the focus with the login."""
    road.step("windows mapped during the login stay beneath the cover")
    strangers = [start("stranger", ["xmessage", "-geometry", "+40+40", "A managed stranger"],
                       stderr=subprocess.DEVNULL),
                 start("stranger", ["xmessage", "-xrm", "*overrideRedirect: true", "-geometry", "+40+600",
                                    "An override-redirect stranger"], stderr=subprocess.DEVNULL)]
    wait_until("the managed stranger mapped", lambda: visible_windows("xmessage"))
    wait_until("the override-redirect stranger mapped", lambda: viewable_root_child_at(40, 600))
    time.sleep(0.1)
    road.shot("strangers-beneath-the-cover")
    check_only_cover_and(road, "the login", [client_rect(login_window)])
    road.wait_active(login_window, T_LOGIN)
    for proc in strangers:
        os.killpg(proc.pid, signal.SIGTERM)
        proc.wait(timeout=5)


def screen_free_again(road):
    """After the login: the key binding works and the pointer goes anywhere."""
    road.step("after the login the screen is free")
    key_marker, _ = markers(road.scratch)
    road.check(not visible_windows(T_COVER), "the cover is gone")
    key(MARKER_KEY)
    try:
        wait_until("the key binding's marker", lambda: os.path.exists(key_marker), 5)
        os.remove(key_marker)  # a later login checks the key does nothing
    except StepFailed:
        road.check(False, "the desktop's key binding works after the login")
    for corner in CORNERS:
        xdo("mousemove", str(corner[0]), str(corner[1]))
        try:
            wait_until(f"the pointer at {corner}", lambda: pointer() == corner, 5)
        except StepFailed:
            road.check(False, f"the pointer reaches {corner}: at {pointer()}")


def off_the_taskbar(road, window, what):
    """The window manager (openbox) keeps the window off the task bar and the pager, title bar and all."""
    states = subprocess.run(["xprop", "-id", str(window), "_NET_WM_STATE", "_NET_WM_WINDOW_TYPE"],
                            capture_output=True, text=True).stdout
    road.check("_NET_WM_STATE_SKIP_TASKBAR" in states and "_NET_WM_STATE_SKIP_PAGER" in states,
               f"{what} is off the task bar and the pager: {states.strip()}")
    road.check("_NET_WM_WINDOW_TYPE_UTILITY" not in states, f"{what} is no tool window: {states.strip()}")


def start_display(scratch):
    read_end, write_end = os.pipe()
    start("Xvfb", ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{SCREEN[0]}x{SCREEN[1]}x24", "-dpi", "96",
                   "-nolisten", "tcp", "-noreset"], pass_fds=(write_end,), stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        number = read_line(pipe, DEADLINE, "Xvfb").strip()
    os.environ["DISPLAY"] = f":{number}"
    # The accessibility tree travels over a session bus of the test's own.
    bus = start("dbus", ["dbus-daemon", "--session", "--nofork", "--print-address"],
                stdout=subprocess.PIPE, text=True)
    os.environ["DBUS_SESSION_BUS_ADDRESS"] = read_line(bus.stdout, DEADLINE, "the session bus").strip()
    start("openbox", ["openbox", "--sm-disable", "--config-file", write_openbox_rc(scratch)],
          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=dict(os.environ, HOME=scratch))
    wait_until("openbox to manage the display",
               lambda: "window id" in subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"],
                                                     capture_output=True, text=True).stdout)
    import_atspi()
    Atspi.get_desktop(0).get_child_count()  # starts the accessibility bus before the program asks for it


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--corvane", required=True)
    parser.add_argument("--seed", required=True)
    parser.add_argument("--out", required=True, help="folder for the screenshots")
    parser.add_argument("--keep", action="store_true", help="keep the scratch folder")
    args = parser.parse_args()
    for tool in ("Xvfb", "openbox", "xdotool", "xprop", "xwininfo", "import", "dbus-daemon"):
        if not shutil.which(tool):
            print(f"missing {tool}: run scripts/install-deps.sh", file=sys.stderr)
            return 1
    shutil.rmtree(args.out, ignore_errors=True)
    os.makedirs(args.out)
    print(f"screenshots: {args.out}", flush=True)
    for sig in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(sig, _terminate)
    signal.signal(signal.SIGALRM, _too_long)
    signal.alarm(int(ROAD_LIMIT))
    scratch = tempfile.mkdtemp(prefix="corvane-road-")
    road = None
    try:
        start_display(scratch)
        road = Road(args, scratch)
        road.run()
        road.remote_log_off_under_a_page_alert()
        road.data_folder_renamed_mid_session()
        road.restart_with_a_short_account_table()
    except StepFailed as failed:
        number, name = (road.step_number, road.step_name) if road else (0, "start")
        print(f"FAILED at step {number} ({name}): {failed}", file=sys.stderr)
        if "DISPLAY" in os.environ:
            print(f"on screen: {on_screen()}", file=sys.stderr)
            if road:
                road.shot("FAILED")
        if road and os.path.exists(os.path.join(scratch, "corvane.log")):
            print("program output:\n" + open(os.path.join(scratch, "corvane.log")).read()[-3000:], file=sys.stderr)
        return 1
    finally:
        signal.alarm(0)
        stop_all()
        if args.keep:
            print(f"scratch: {scratch}")
        else:
            shutil.rmtree(scratch, ignore_errors=True)
    if road.failures:
        print(f"{len(road.failures)} check(s) failed:", file=sys.stderr)
        for message in road.failures:
            print("  " + message, file=sys.stderr)
        return 1
    print("the road passes")
    return 0


if __name__ == "__main__":
    sys.exit(main())
