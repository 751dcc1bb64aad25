"""Started with two double-quoted paths: two document windows, the second active, its page in
the preview and its size in status-bar panel 2 (seen through the 5 KB warning of Save)."""

from e2elib import *

A = page("<html><body>\nページＡ\n</body></html>\n")
B = page("<html><body>\n" + "ｂ" * 6000 + "\n</body></html>\n")  # over 5 KB


def journey(program):
    a = program.write_page("a.html", A)
    b = program.write_page("b page.html", B)
    program.start('"%s"' % a, '"%s"' % b)
    main = program.main_window()
    preview = program.path("zemlo.htm")
    wait_file(preview, B)

    # Panel 2 holds the second page's size: Save warns before it asks.
    key("ctrl+s")
    warning = wait_window("確認")
    if find_windows("保存"):
        raise JourneyFailed("the save confirmation came before the size warning")
    activate(warning)
    key("Escape")
    wait_no_window("確認")
    if find_windows("保存"):
        raise JourneyFailed("a cancelled size warning went on to the confirmation")

    # Closing the active window uncovers the first one, which the preview then shows.
    activate(main)
    key("alt+f")
    key("c")
    wait_file(preview, A)
    key("ctrl+s")
    confirmation = wait_window("保存")
    if find_windows("確認"):
        raise JourneyFailed("a small page got the size warning")
    activate(confirmation)
    key("Escape")
    wait_no_window("保存")
    for path, data in ((a, A), (b, B)):
        if read_bytes(path) != data:
            raise JourneyFailed("%s changed on disk" % path)


run(journey)
