"""The preview of a page in a folder of its own shows the page's own image; an address typed
into the address box loads with Enter, and with the keypad's Enter."""

import subprocess

from e2elib import *

RED_GIF = (b"GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\x00\x00\x00\x00\x00,\x00\x00\x00\x00\x01"
           b"\x00\x01\x00\x00\x02\x02\x44\x01\x00;")


def wait_colour(program, window, colour, what):
    """Waits until some of the window's pixels are exactly colour (#RRGGBB)."""
    shot = os.path.join(program.root, "window.png")

    def share():
        subprocess.run(["import", "-window", str(window), shot], capture_output=True)
        out = subprocess.run(["convert", shot, "-fill", "black", "+opaque", colour, "-fill",
                              "white", "-opaque", colour, "-format", "%[fx:mean]", "info:"],
                             capture_output=True, text=True).stdout.strip()
        return float(out or 0) > 0.005
    wait_for(what, share, interval=0.5)


def journey(program):
    os.makedirs(os.path.join(program.pages, "site", "img"))
    program.write_page(os.path.join("site", "img", "logo.gif"), RED_GIF)
    index = program.write_page(os.path.join("site", "index.html"),
                               page('<img src="img/logo.gif" width="150" height="80">\n'))
    block = '<div style="width:150px;height:80px;background:%s"></div>\n'
    blue = program.write_page("blue.html", page(block % "#0000ff"))
    green = program.write_page("green.html", page(block % "#00ff00"))
    program.start('"%s"' % index)
    main = program.main_window()
    wait_colour(program, main, "#ff0000", "the page's own image in the preview")

    # The address box lies right under the main tool bar, across the window.
    xdotool("mousemove", "--window", main, "--sync", geometry(main)[2] // 2, 74)
    xdotool("click", "1")
    for address, enter, colour in ((blue, "Return", "#0000ff"), (green, "KP_Enter", "#00ff00")):
        key("ctrl+a")
        type_text(address)
        key(enter)
        wait_colour(program, main, colour, "%s loaded with %s" % (address, enter))

    activate(main)
    key("ctrl+q")
    if wait_exit(program.processes[0]) != 0:
        raise JourneyFailed("the program ended with an error")


run(journey)
