"""ﾌｧｲﾙ → UTF-8 で書き出し from the keyboard: the dialog proposes the page's name with -utf8,
double quote and all, Enter writes the copy under that name with the pictograph as its standard
emoji and the charset as UTF-8, the report (情報) is shown, and the page itself stays as it was."""

import os

from e2elib import *

# 晴れ as the raw bytes a DoCoMo page holds it in.
ORIGINAL = (b'<html><head><meta charset="Shift_JIS"></head>\r\n'
            + "今日は".encode("cp932") + b"\xF8\x9F\r\n</html>\r\n")
COPY = ('<html><head><meta charset="UTF-8"></head>\r\n'
        "今日は\u2600\r\n</html>\r\n").encode("utf-8")


def journey(program):
    path = program.write_page('a"b.html', ORIGINAL)
    program.start("--open", path)
    main = program.main_window()
    wait_file(program.path("zemlo.htm"), ORIGINAL)
    key("alt+f")
    key("u")
    dialog = wait_window("名前を付けて保存")
    activate(dialog)
    key("Return")
    report = wait_window("情報")
    copy = os.path.join(os.path.dirname(path), 'a"b-utf8.html')
    wait_file(copy, COPY)
    activate(report)
    key("Return")
    wait_no_window("情報")
    if read_bytes(path) != ORIGINAL:
        raise JourneyFailed("the page itself changed")
    # Still unmodified: exit asks nothing and ends.
    activate(main)
    key("ctrl+q")
    if wait_exit(program.processes[0]) != 0:
        raise JourneyFailed("the program ended with an error")


run(journey)
