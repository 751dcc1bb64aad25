"""Started on a bare path, the page opens. Started again with another page while minimized, the
running copy opens that page too and comes to the front; the later start ends without a word."""

from e2elib import *

A = page("<html><body>\nページＡ\n</body></html>\n")
B = page("<html><body>\nページＢ\n</body></html>\n")


def journey(program):
    a = program.write_page("a page.html", A)
    b = program.write_page("b.html", B)
    first = program.start(a)
    main = program.main_window()
    preview = program.path("zemlo.htm")
    wait_file(preview, A)

    xdotool("windowminimize", "--sync", main)
    wait_no_window("Zemlo")

    second = program.start(b)
    if wait_exit(second) != 0:
        raise JourneyFailed("the later start ended with an error")
    # The handed page is the active one, so the preview shows it.
    wait_file(preview, B)
    if wait_window("Zemlo") != main:
        raise JourneyFailed("another main window came up")
    wait_for("the main window to be active",
             lambda: xdotool("getactivewindow", check=False) == str(main), 10)
    if find_windows("確認"):
        raise JourneyFailed("the later start showed a message")
    if first.poll() is not None:
        raise JourneyFailed("the first copy ended")

    # Both pages are open: closing the active one uncovers the first.
    activate(main)
    key("alt+f")
    key("c")
    wait_file(preview, A)
    for path, data in ((a, A), (b, B)):
        if read_bytes(path) != data:
            raise JourneyFailed("%s changed on disk" % path)


run(journey)
