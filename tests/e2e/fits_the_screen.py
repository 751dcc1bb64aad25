"""On a screen scaled to twice its size, 640 by 512 of the program's pixels, the main window
lies on the screen whole, frame and all."""

import os

from e2elib import *


def journey(program):
    os.environ["QT_SCALE_FACTOR"] = "2"
    program.start()
    main = program.main_window()
    screen = xdotool("getdisplaygeometry").split()
    width, height = int(screen[0]), int(screen[1])
    x, y, w, h = geometry(main)
    if x < 0 or y < 0 or x + w > width or y + h > height:
        raise JourneyFailed("the window at %d,%d %dx%d runs off the %dx%d screen"
                            % (x, y, w, h, width, height))


run(journey)
