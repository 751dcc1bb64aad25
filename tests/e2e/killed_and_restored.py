"""Killed (SIGKILL) 2.5 s after typing into a modified page and into a new page: the next start
asks 復元 and gives both texts back, the page on disk untouched until the restored page is
saved, which then writes the bytes the user would have saved (the page's own LF line ends)."""

import glob
import signal

from e2elib import *

ORIGINAL = "<html>\n日本語のﾍﾟｰｼﾞ、〜と①も。\n</html>\n"
TYPED = "i-mode\n" + ORIGINAL


def journals(program):
    folder = program.path("zemlo.recover")
    return sorted(read_bytes(p) for p in glob.glob(os.path.join(folder, "*.sjis")))


def journey(program):
    path = program.write_page("page.html", ORIGINAL.encode("cp932"))
    first = program.start('"%s"' % path)
    main = program.main_window()
    preview = program.path("zemlo.htm")
    wait_file(preview, page(ORIGINAL))
    type_text("i-mode")
    key("Return")
    wait_file(preview, page(TYPED))
    key("ctrl+n")
    type_text("fresh")
    key("Return")
    type_text("line")
    wait_file(preview, page("fresh\nline"))

    time.sleep(2.5)
    # Exactly the bytes Save would write: the page's own line ends, CR LF for a new page.
    wait_for("both journals", lambda: journals(program) == sorted(
        [TYPED.encode("cp932"), b"fresh\r\nline"]), 10)
    first.send_signal(signal.SIGKILL)
    first.wait()
    if read_bytes(path) != ORIGINAL.encode("cp932"):
        raise JourneyFailed("the page changed on disk")

    program.start()
    main = program.main_window()
    question = wait_window("復元")
    activate(question)
    key("Return")
    wait_no_window("復元")
    # Restored oldest first: the new page is the active one.
    wait_file(preview, page("fresh\nline"))
    if read_bytes(path) != ORIGINAL.encode("cp932"):
        raise JourneyFailed("restoring wrote the page")

    # The new page's changes given up; the restored page comes to the front and is saved.
    activate(main)
    key("alt+f")
    key("c")
    close = wait_window("閉じる")
    activate(close)
    key("alt+n")
    wait_no_window("閉じる")
    wait_file(preview, page(TYPED))
    activate(main)
    key("ctrl+s")
    confirmation = wait_window("保存")
    activate(confirmation)
    key("Return")
    wait_no_window("保存")
    wait_file(path, TYPED.encode("cp932"))

    activate(main)
    key("ctrl+q")
    if wait_exit(program.processes[-1]) != 0:
        raise JourneyFailed("the program ended with an error")
    if glob.glob(os.path.join(program.path("zemlo.recover"), "*")):
        raise JourneyFailed("a normal exit left a journal behind")


run(journey)
