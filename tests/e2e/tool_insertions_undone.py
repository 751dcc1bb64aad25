"""A colour from the palette, a pictograph from the picker and a tag from the library, each
inserted at the caret and each taken back by Ctrl+Z."""

import re

from e2elib import *

ORIGINAL = page("abc\n")


def insert_and_undo(program, main, what, opener, title, choose, inserted):
    preview = program.path("zemlo.htm")
    activate(main)
    key(opener)
    tool = wait_window(title)
    activate(tool)
    choose()
    pattern = re.compile(inserted)

    def inserted_once():
        # The page as it was, with the insertion at one place (the caret's).
        data = read_bytes(preview) or b""
        found = pattern.search(data)
        return found and data[:found.start()] + data[found.end():] == ORIGINAL

    try:
        wait_for(what + " in the preview", inserted_once)
    except JourneyFailed:
        raise JourneyFailed("%s: the preview holds %r" % (what, read_bytes(preview)))
    activate(main)
    key("ctrl+z")
    wait_file(preview, ORIGINAL)


def journey(program):
    path = program.write_page("page.html", ORIGINAL)
    program.start('"%s"' % path)
    main = program.main_window()
    wait_file(program.path("zemlo.htm"), ORIGINAL)
    focus_document(main)

    insert_and_undo(program, main, "the colour", "ctrl+p", "Color Palette",
                    lambda: key("space"), rb"#[0-9A-F]{6}")
    insert_and_undo(program, main, "the pictograph", "ctrl+i", "i-mode 絵文字",
                    lambda: key("shift+Insert"), rb"&#6[0-9]{4};")
    insert_and_undo(program, main, "the tag", "ctrl+t", "My TAG Library",
                    lambda: key("Home", "Return"), rb"<br>")
    if read_bytes(path) != ORIGINAL:
        raise JourneyFailed("the page was written")


run(journey)
