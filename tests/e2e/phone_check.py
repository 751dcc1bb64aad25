"""Choose the phones a page is for through the View menu, type a tag they cannot show, find it
in the 機種チェック pane (copied from there into the page), and jump to it with Enter."""

from e2elib import *

TEXT = "<html><body>\nx\n</body></html>\n"
FINDING = "4 行: <marquee>: iモード HTML 2.0（502i など）から"


def journey(program):
    path = program.write_page("page.html", page(TEXT))
    program.start(path)
    main = program.main_window()
    preview = program.path("zemlo.htm")
    wait_file(preview, page(TEXT))
    focus_document(main)

    # 表示 → 対象機種: the safe floor comes first, then 501i under HTML 1.0.
    key("alt+v")
    key("m")
    key("Down")
    key("Return")
    wait_file(program.path("zemlo.tgt"), b"501i\n")

    # The tag closes itself as it is typed.
    key("ctrl+End")
    type_text("<marquee")
    wait_file(preview, page(TEXT + "<marquee>"))

    # F9 shows the pane with the keyboard on the first finding; a copy of it goes into the page.
    key("F9")
    key("ctrl+c")
    key("Escape")
    key("End")
    key("ctrl+v")
    wait_file(preview, page(TEXT + "<marquee>" + FINDING))

    # Enter on the finding puts the caret on the tag.
    key("F9")
    key("Return")
    type_text("X")
    wait_file(preview, page(TEXT + "X<marquee>" + FINDING))


run(journey)
