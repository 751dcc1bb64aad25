"""Killed 2.5 s after typing into a page and a new page: the next start asks 復元, gives both
texts back and leaves the page on disk alone until the restored page is saved (its first save
asks about the file once more), which writes the bytes the user would have saved (the page's own
LF line ends)."""

import glob
import signal

from e2elib import *

ORIGINAL = "<html>\n日本語のﾍﾟｰｼﾞ、〜と①も。\n</html>\n"
TYPED = "i-mode\n" + ORIGINAL


def journey(program):
    path = program.write_page("page.html", ORIGINAL.encode("cp932"))
    program.start('"%s"' % path)
    main = program.main_window()
    preview = program.path("zemlo.htm")
    wait_file(preview, ORIGINAL.encode("cp932"))  # the page as saved: its own LF line ends
    type_text("i-mode")
    key("Return", "ctrl+n")
    type_text("fresh")
    wait_file(preview, page("fresh"))
    time.sleep(2.5)
    journals = os.path.join(program.path("zemlo.recover"), "*.sjis")
    wait_for("both journals", lambda: sorted(read_bytes(p) for p in glob.glob(journals)) ==
             [b"fresh", TYPED.encode("cp932")], 10)
    program.processes[0].send_signal(signal.SIGKILL)
    program.processes[0].wait()

    program.start()
    # The question is modal over the main window: it has the keyboard.
    activate(wait_window("復元"))
    key("Return")
    main = wait_window("Zemlo")
    wait_file(preview, page("fresh"))  # restored oldest first
    if read_bytes(path) != ORIGINAL.encode("cp932"):
        raise JourneyFailed("the page changed on disk before Save")
    # The new page given up; the page under it is saved.
    activate(main)
    key("alt+f", "c")
    activate(wait_window("閉じる"))
    key("alt+n")
    wait_file(preview, TYPED.encode("cp932"))
    activate(main)
    key("ctrl+s")
    activate(wait_window("保存"))
    key("Return")
    # A page named by a journal is written only once the user agrees to that very file.
    activate(wait_window("復元"))
    key("shift+Tab", "space")  # from キャンセル, the default, to OK
    wait_file(path, TYPED.encode("cp932"))
    activate(main)
    key("ctrl+q")
    if wait_exit(program.processes[-1]) != 0 or glob.glob(journals):
        raise JourneyFailed("the program ended with an error or left a journal")


run(journey)
