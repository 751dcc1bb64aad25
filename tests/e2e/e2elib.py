"""Helpers for journeys through the built program under a virtual X server.

Each journey runs inside its own X server (xvfb-run -a), with a window manager so that
windows really activate, and on its own copy of the program folder, so that settings, the
preview file and the single-copy lock belong to that journey alone. The program is observed
from outside only: window titles, files on disk and, on failure, a screenshot.
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import traceback

TIMEOUT = float(os.environ.get("ZEMLO_E2E_TIMEOUT", "60"))


class JourneyFailed(Exception):
    pass


def log(*parts):
    print("[e2e]", *parts, flush=True)


def xdotool(*args, check=True):
    result = subprocess.run(["xdotool", *map(str, args)], capture_output=True, text=True)
    if check and result.returncode != 0:
        raise JourneyFailed("xdotool %s failed: %s" % (" ".join(map(str, args)), result.stderr))
    return result.stdout.strip()


def wait_for(what, predicate, timeout=TIMEOUT, interval=0.1):
    """Polls predicate until it returns something true; fails after timeout seconds."""
    end = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > end:
            raise JourneyFailed("timed out waiting for " + what)
        time.sleep(interval)


def find_windows(title):
    """Visible windows whose whole title is title."""
    pattern = "^" + re.sub(r"([.\[\](){}*+?|^$\\])", r"\\\1", title) + "$"
    result = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", pattern],
                            capture_output=True, text=True)
    return [w for w in result.stdout.split() if w]


def wait_window(title, timeout=TIMEOUT):
    return wait_for("a window titled %r" % title, lambda: find_windows(title), timeout)[-1]


def wait_no_window(title, timeout=TIMEOUT):
    wait_for("no window titled %r" % title, lambda: not find_windows(title), timeout)


def activate(window):
    xdotool("windowactivate", "--sync", window)
    wait_for("window %s to have the focus" % window,
             lambda: xdotool("getactivewindow", check=False) == str(window), 10)


def key(*keys):
    xdotool("key", "--clearmodifiers", "--delay", "60", *keys)


def geometry(window):
    values = dict(line.split("=", 1) for line in
                  xdotool("getwindowgeometry", "--shell", window).splitlines())
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


def focus_document(main):
    """Puts the keyboard into the active document's text, caret at its start, as a user does:
    tiles the document windows over the client area, clicks into the text, Ctrl+Home."""
    activate(main)
    key("alt+w")
    key("h")
    x, y, width, height = geometry(main)
    # The client area lies right of the preview pane, under the bars.
    xdotool("mousemove", "--sync", x + width * 7 // 10, y + height * 6 // 10)
    xdotool("click", "1")
    key("ctrl+Home")


def type_text(text):
    xdotool("type", "--clearmodifiers", "--delay", "80", text)


def read_bytes(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError:
        return None


def wait_file(path, expected, timeout=TIMEOUT):
    """Waits until the file holds exactly expected (bytes)."""
    try:
        wait_for("%s to hold %r" % (os.path.basename(path), expected),
                 lambda: read_bytes(path) == expected, timeout)
    except JourneyFailed:
        raise JourneyFailed("%s holds %r, expected %r" % (path, read_bytes(path), expected))


def page(text):
    """A page as the program writes it: code page 932 with CR LF line ends."""
    return text.replace("\n", "\r\n").encode("cp932")


class Program:
    """A program folder of its own with the built program in it, and its running copies."""

    def __init__(self, build_dir, name):
        self.name = name
        self.build_dir = build_dir
        self.root = tempfile.mkdtemp(prefix="zemlo-e2e-")
        self.folder = os.path.join(self.root, "Zemlo")
        self.pages = os.path.join(self.root, "pages")
        os.makedirs(self.pages)
        self._copy_program()
        self.processes = []

    def _copy_program(self):
        os.makedirs(self.folder)
        shutil.copy2(os.path.join(self.build_dir, "zemlo"), self.folder)
        shutil.copytree(os.path.join(self.build_dir, "ImageList"),
                        os.path.join(self.folder, "ImageList"))
        for entry in os.listdir(self.build_dir):
            if entry in ("zemlo.tag", "libzemlo_preview.so") or entry.endswith(".tmp"):
                shutil.copy2(os.path.join(self.build_dir, entry), self.folder)

    def path(self, name):
        return os.path.join(self.folder, name)

    def write_page(self, name, data):
        path = os.path.join(self.pages, name)
        with open(path, "wb") as f:
            f.write(data)
        return path

    def start(self, *arguments):
        env = dict(os.environ)
        env.update({
            "QT_QPA_PLATFORM": "xcb",
            "QTWEBENGINE_DISABLE_SANDBOX": "1",
            "QTWEBENGINE_CHROMIUM_FLAGS": "--disable-gpu --no-sandbox",
            "LC_ALL": "C.UTF-8",
        })
        out = open(os.path.join(self.root, "program-%d.log" % len(self.processes)), "wb")
        process = subprocess.Popen([os.path.join(self.folder, "zemlo"), *arguments],
                                   env=env, stdout=out, stderr=subprocess.STDOUT)
        self.processes.append(process)
        return process

    def main_window(self):
        """The running copy's main window, once it is up, activated."""
        window = wait_window("Zemlo")
        activate(window)
        return window

    def stop(self):
        for p in self.processes:
            if p.poll() is None:
                p.kill()
                p.wait()

    def logs(self):
        for entry in sorted(os.listdir(self.root)):
            if entry.endswith(".log"):
                with open(os.path.join(self.root, entry), "rb") as f:
                    text = f.read().decode("utf-8", "replace")
                if text.strip():
                    log("---", entry, "---")
                    print(text[-4000:], flush=True)


def wait_exit(process, timeout=TIMEOUT):
    try:
        return process.wait(timeout)
    except subprocess.TimeoutExpired:
        raise JourneyFailed("the program did not end")


def screenshot(path):
    subprocess.run(["import", "-window", "root", path], capture_output=True)
    return path


def start_window_manager():
    wm = subprocess.Popen(["openbox", "--sm-disable"], stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL)
    # The manager is up once it owns the root window's supporting-window property.
    wait_for("the window manager", lambda: subprocess.run(
        ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], capture_output=True,
        text=True).stdout.find("window id") >= 0, 20)
    return wm


def run(journey, program_class=Program):
    """Runs journey(program) on a fresh program folder; keeps a screenshot on failure."""
    build_dir = sys.argv[1]
    shots = sys.argv[2] if len(sys.argv) > 2 else os.getcwd()
    name = os.path.splitext(os.path.basename(sys.argv[0]))[0]
    wm = start_window_manager()
    program = program_class(build_dir, name)
    status = 0
    try:
        journey(program)
        log(name, "passed")
    except Exception:
        traceback.print_exc()
        os.makedirs(shots, exist_ok=True)
        shot = screenshot(os.path.join(shots, name + "-failure.png"))
        log(name, "FAILED; screenshot kept in", shot)
        program.logs()
        status = 1
    finally:
        program.stop()
        wm.terminate()
        wm.wait()
        if status == 0:
            shutil.rmtree(program.root, ignore_errors=True)
        else:
            log("program folder kept in", program.root)
    sys.exit(status)
