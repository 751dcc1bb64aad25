"""Find as you type, F3 to the next match, then replace every match from the replace bar and
take the whole replacement back with Ctrl+Z."""

from e2elib import *

ORIGINAL = page("one cat two cat\n")


def journey(program):
    path = program.write_page("page.html", ORIGINAL)
    program.start(path)
    main = program.main_window()
    preview = program.path("zemlo.htm")
    wait_file(preview, ORIGINAL)
    focus_document(main)

    key("ctrl+f")
    type_text("cat")
    # The first cat is selected; F3 goes on to the second, which typing then replaces.
    key("F3")
    key("Escape")
    type_text("X")
    wait_file(preview, page("one cat two X\n"))

    key("ctrl+h")
    # The find field keeps "cat"; Tab leads to the replacement.
    key("Tab")
    type_text("dog")
    key("alt+a")
    wait_file(preview, page("one dog two X\n"))

    key("Escape")
    key("ctrl+z")
    wait_file(preview, page("one cat two X\n"))
    if read_bytes(path) != ORIGINAL:
        raise JourneyFailed("the page was written")


run(journey)
