"""The command line as on any Linux program: --version and --help print and end, an unknown
option is refused with the usage, a page whose name begins with "-" opens after "--", and a
page whose name is not text in the locale's encoding is named in a message, not opened as an
empty page of another name."""

import os

from e2elib import *

DASH = page("<html><body>\nダッシュ\n</body></html>\n")


def run_program(program, *arguments):
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", LC_ALL="C.UTF-8")
    result = subprocess.run([program.path("zemlo"), *arguments], env=env, capture_output=True,
                            timeout=TIMEOUT)
    return result.returncode, result.stdout.decode(), result.stderr.decode()


def journey(program):
    code, out, err = run_program(program, "--version")
    if code != 0 or not re.fullmatch(r"zemlo \d+\.\d+\.\d+\n", out):
        raise JourneyFailed("--version gave %d %r %r" % (code, out, err))
    code, out, err = run_program(program, "--help")
    if code != 0 or "使い方" not in out or "--version" not in out:
        raise JourneyFailed("--help gave %d %r %r" % (code, out, err))
    code, out, err = run_program(program, "--bogus", "a.html")
    if code != 2 or out or "--bogus" not in err or "使い方" not in err:
        raise JourneyFailed("--bogus gave %d %r %r" % (code, out, err))
    if find_windows("Zemlo"):
        raise JourneyFailed("an option opened a window")

    program.write_page("-dash.html", DASH)
    sjis = os.path.join(program.pages.encode(), b"\x83y\x81[\x83W.html")
    with open(sjis, "wb") as f:
        f.write(DASH)
    os.chdir(program.pages)
    program.start(sjis, "--", "-dash.html")
    message = wait_window("ページを開けません")
    activate(message)
    key("Return")
    wait_no_window("ページを開けません")
    program.main_window()
    wait_file(program.path("zemlo.htm"), DASH)
    names = sorted(os.listdir(program.pages.encode()))
    if names != [b"-dash.html", b"\x83y\x81[\x83W.html"]:
        raise JourneyFailed("the pages folder now holds %r" % names)


run(journey)
