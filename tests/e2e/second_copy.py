"""A second start while the first copy runs shows the message and ends; the first copy goes on
unaffected."""

from e2elib import *


def journey(program):
    first = program.start()
    main = program.main_window()

    second = program.start()
    message = wait_window("確認")
    activate(message)
    key("Return")
    if wait_exit(second) != 0:
        raise JourneyFailed("the second copy ended with an error")
    wait_no_window("確認")

    if first.poll() is not None:
        raise JourneyFailed("the first copy ended")
    if find_windows("Zemlo") != [main]:
        raise JourneyFailed("the main windows are now %r" % find_windows("Zemlo"))
    if read_bytes(program.path("zemlo.vrn")) is not None:
        raise JourneyFailed("the second copy wrote settings")

    # Still answering: it ends on Ctrl+Q and writes its settings.
    activate(main)
    key("ctrl+q")
    if wait_exit(first) != 0:
        raise JourneyFailed("the first copy ended with an error")
    wait_file(program.path("zemlo.vrn"), b"#TRUE#,#TRUE#,#FALSE#,#TRUE#\r\n")


run(journey)
