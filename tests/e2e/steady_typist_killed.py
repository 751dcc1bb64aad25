"""A steady typist never rests two seconds. Killed right after the last of eight keys typed one
every 1.2 s, the program leaves a journal with all but the last two keys at most, and the next
start gives that text back."""

import glob
import signal

from e2elib import *

TYPED = "abcdefgh"


def journey(program):
    path = program.write_page("page.html", b"<p>\r\n")
    program.start('"%s"' % path)
    main = program.main_window()
    preview = program.path("zemlo.htm")
    wait_file(preview, page("<p>\n"))
    focus_document(main)
    key("ctrl+End")
    for c in TYPED:
        type_text(c)
        time.sleep(1.2)
    program.processes[0].send_signal(signal.SIGKILL)
    program.processes[0].wait()

    journals = glob.glob(os.path.join(program.path("zemlo.recover"), "*.sjis"))
    if len(journals) != 1:
        raise JourneyFailed("no journal after %d keys of steady typing" % len(TYPED))
    kept = read_bytes(journals[0])
    kept_keys = [b"<p>\r\n" + TYPED[:n].encode() for n in range(len(TYPED) - 2, len(TYPED) + 1)]
    if kept not in kept_keys:
        raise JourneyFailed("the journal holds %r" % kept)

    program.start()
    activate(wait_window("復元"))
    key("Return")
    wait_window("Zemlo")
    wait_file(preview, kept)
    if read_bytes(path) != b"<p>\r\n":
        raise JourneyFailed("the page changed on disk")


run(journey)
