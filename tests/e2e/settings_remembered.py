"""The 8-character width and real-time preview off, chosen in the View menu, are in force at
the next start."""

import os

from e2elib import *

CHOSEN = b"#TRUE#,#FALSE#,#TRUE#,#FALSE#\r\n"


def journey(program):
    settings = program.path("zemlo.vrn")
    process = program.start()
    main = program.main_window()
    key("alt+v")
    key("8")
    key("alt+v")
    key("r")
    key("ctrl+q")
    wait_exit(process)
    wait_file(settings, CHOSEN)

    # The second run holds the choices it read: without the file, its exit writes them again.
    process = program.start()
    main = program.main_window()
    os.remove(settings)
    key("ctrl+q")
    wait_exit(process)
    wait_file(settings, CHOSEN)

    # Real-time preview is off: typing leaves the preview until it is refreshed by hand.
    path = program.write_page("page.html", page("abc\n"))
    process = program.start('"%s"' % path)
    main = program.main_window()
    preview = program.path("zemlo.htm")
    wait_file(preview, page("abc\n"))
    focus_document(main)
    type_text("x")
    key("F12")
    wait_file(preview, page("xabc\n"))
    type_text("y")
    # Once the save confirmation is up, the keystroke before it has been handled.
    key("ctrl+s")
    confirmation = wait_window("保存")
    if read_bytes(preview) != page("xabc\n"):
        raise JourneyFailed("the preview followed typing with real-time preview off")
    activate(confirmation)
    key("Escape")
    wait_no_window("保存")
    activate(main)
    key("F12")
    wait_file(preview, page("xyabc\n"))


run(journey)
