"""Exit with a modified page, Cancel in the close query: the program goes on with its page and
writes no settings."""

from e2elib import *

ORIGINAL = page("<html>\nページ\n</html>\n")


def journey(program):
    path = program.write_page("page.html", ORIGINAL)
    process = program.start('"%s"' % path)
    main = program.main_window()
    preview = program.path("zemlo.htm")
    wait_file(preview, ORIGINAL)
    focus_document(main)
    type_text("x")
    wait_file(preview, b"x" + ORIGINAL)

    for attempt in range(2):
        activate(main)
        key("ctrl+q")
        query = wait_window("閉じる")
        activate(query)
        key("Escape")
        wait_no_window("閉じる")
        if process.poll() is not None:
            raise JourneyFailed("the program ended")
        if find_windows("Zemlo") != [main]:
            raise JourneyFailed("the main window is gone")
        if read_bytes(program.path("zemlo.vrn")) is not None:
            raise JourneyFailed("settings were written")
        if read_bytes(path) != ORIGINAL:
            raise JourneyFailed("the page was written")

    # The document is still there and still editable.
    activate(main)
    type_text("y")
    wait_file(preview, b"xy" + ORIGINAL)


run(journey)
