"""F11 and F12 pressed in the tag library window act there (the window's size, then closing
it), though the main window holds the same keys; back in the page, F12 is the main window's
preview again."""

import os

from e2elib import *

ORIGINAL = page("abc\n")
LIBRARY = "My TAG Library"


def journey(program):
    path = program.write_page("page.html", ORIGINAL)
    program.start('"%s"' % path)
    main = program.main_window()
    preview = program.path("zemlo.htm")
    wait_file(preview, ORIGINAL)
    focus_document(main)

    key("ctrl+t")
    library = wait_window(LIBRARY)
    activate(library)
    _, _, width, height = geometry(library)
    key("F11")
    wait_for("F11 to enlarge the library window",
             lambda: geometry(library)[2] > width and geometry(library)[3] >= height, 10)
    key("F11")
    wait_for("F11 to give the library window its size again",
             lambda: geometry(library)[2:] == (width, height), 10)
    key("F12")
    wait_no_window(LIBRARY, 10)

    # The keyboard goes back to the page's text.
    os.remove(preview)
    activate(main)
    key("F12")
    wait_file(preview, ORIGINAL)


run(journey)
