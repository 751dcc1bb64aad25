"""The preview of a page in a folder of its own shows the page's own image; an address typed
into the address box loads with Enter, and with the keypad's Enter."""

import subprocess

from e2elib import *


def share_of(program, window, colour):
    """The share of the window's pixels that are exactly colour (#RRGGBB)."""
    shot = os.path.join(program.root, "window.png")
    subprocess.run(["import", "-window", str(window), shot], capture_output=True)
    result = subprocess.run(["convert", shot, "-fill", "black", "+opaque", colour, "-fill",
                             "white", "-opaque", colour, "-format", "%[fx:mean]", "info:"],
                            capture_output=True, text=True)
    try:
        return float(result.stdout.strip())
    except ValueError:
        return 0.0


def wait_colour(program, window, colour, what):
    wait_for(what, lambda: share_of(program, window, colour) > 0.005, interval=0.5)


def block(colour):
    return '<div style="width:150px;height:80px;background:%s"></div>' % colour


def journey(program):
    os.makedirs(os.path.join(program.pages, "site", "img"))
    # A 1x1 red GIF, drawn large.
    program.write_page(os.path.join("site", "img", "logo.gif"),
                       b"GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\x00\x00\x00\x00\x00,\x00\x00"
                       b"\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;")
    index = program.write_page(os.path.join("site", "index.html"), page(
        '<html><body><img src="img/logo.gif" width="150" height="80">\n'
        '<a href="next.html">次へ</a></body></html>\n'))
    other = program.write_page("other.html", page("<html><body>%s</body></html>\n" % block("#0000ff")))
    following = program.write_page(os.path.join("site", "next.html"),
                                   page("<html><body>%s</body></html>\n" % block("#00ff00")))
    program.start('"%s"' % index)
    main = program.main_window()
    wait_file(program.path("zemlo.htm"), read_bytes(index))
    wait_colour(program, main, "#ff0000", "the page's own image in the preview")

    # The address box lies right under the main tool bar, across the window.
    xdotool("mousemove", "--window", main, "--sync", geometry(main)[2] // 2, 74)
    xdotool("click", "1")
    key("ctrl+a")
    type_text(other)
    key("Return")
    wait_colour(program, main, "#0000ff", "the typed address in the preview")

    key("ctrl+a")
    type_text(following)
    key("KP_Enter")
    wait_colour(program, main, "#00ff00", "the address typed and entered on the keypad")

    activate(main)
    key("ctrl+q")
    if wait_exit(program.processes[0]) != 0:
        raise JourneyFailed("the program ended with an error")


run(journey)
