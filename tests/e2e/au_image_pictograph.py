"""au's image form of a pictograph, <img localsrc="44">, is drawn in the preview as the sun."""

import subprocess

from e2elib import *

# The sun's own yellow, the most of its picture.
SUN = "#FCC11A"


def sun_pixels(program, window):
    shot = os.path.join(program.root, "window.png")
    subprocess.run(["import", "-window", str(window), shot], capture_output=True)
    out = subprocess.run(["convert", shot, "-fill", "black", "+opaque", SUN, "-fill", "white",
                          "-opaque", SUN, "-format", "%[fx:mean*w*h]", "info:"],
                         capture_output=True, text=True).stdout.strip()
    return float(out or 0)


def journey(program):
    # Drawn as large as the text, so a big font makes a big sun.
    index = program.write_page("au.html", page(
        '<html><body><p style="font-size:80px">晴れ<img localsrc="44" alt="">'
        '<IMG LOCALSRC=9999 alt="x"></p></body></html>\n'))
    program.start('"%s"' % index)
    main = program.main_window()
    wait_for("the sun drawn in the preview", lambda: sun_pixels(program, main) > 400,
             interval=0.5)

    activate(main)
    key("ctrl+q")
    if wait_exit(program.processes[0]) != 0:
        raise JourneyFailed("the program ended with an error")


run(journey)
