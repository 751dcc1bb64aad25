"""Typing in a page: "<" gives "<>", the real-time preview follows, Ctrl+S with its
confirmation answered writes exactly the code page 932 bytes with CR LF line ends."""

from e2elib import *

ORIGINAL = "<html>\n日本語のﾍﾟｰｼﾞ、〜と①も。\n</html>\n"


def journey(program):
    path = program.write_page("page.html", page(ORIGINAL))
    program.start('"%s"' % path)
    main = program.main_window()
    preview = program.path("zemlo.htm")
    wait_file(preview, page(ORIGINAL))
    # A page opened at start has the keyboard, caret at its start.

    type_text("<")
    wait_file(preview, page("<>" + ORIGINAL))
    type_text("br")
    wait_file(preview, page("<br>" + ORIGINAL))
    key("End", "Return")
    type_text("i-mode")
    expected = page("<br><html>\ni-mode\n日本語のﾍﾟｰｼﾞ、〜と①も。\n</html>\n")
    wait_file(preview, expected)
    if read_bytes(path) != page(ORIGINAL):
        raise JourneyFailed("the page was written before Save")

    key("ctrl+s")
    confirmation = wait_window("保存")
    activate(confirmation)
    key("Return")
    wait_no_window("保存")
    wait_file(path, expected)

    # Unmodified again: exit asks nothing and ends.
    activate(main)
    key("ctrl+q")
    if wait_exit(program.processes[0]) != 0:
        raise JourneyFailed("the program ended with an error")


run(journey)
