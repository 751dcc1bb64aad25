"""ﾌｧｲﾙ → サイトを開く, then サイトのリンクチェック, from the keyboard: the folder typed into the
dialog becomes the site (and is remembered for the next start), the check lists the broken link
first, and Enter opens the page it stands in. The site's files stay as they were."""

import os

from e2elib import *

INDEX = page('<a href="about.html">about</a>\n<img src="logo.gif">\n')
ABOUT = page('<p>会社案内</p>\n<a href="gone.html">消えたページ</a>\n')


def journey(program):
    site = os.path.join(program.pages, "site")
    os.makedirs(site)
    files = {"index.html": INDEX, "about.html": ABOUT, "logo.gif": b"GIF89a"}
    for name, data in files.items():
        with open(os.path.join(site, name), "wb") as f:
            f.write(data)
    program.start()
    main = program.main_window()
    key("alt+f")
    key("d")
    dialog = wait_window("サイトを開く")
    activate(dialog)
    type_text(site)
    key("Return")
    wait_no_window("サイトを開く")
    wait_file(program.path("zemlo.site"), site.encode() + b"\n")
    activate(main)
    key("alt+f")
    key("l")
    # The results take the keys with the broken link chosen: Enter opens its page, which the
    # preview then shows.
    time.sleep(2)
    key("Return")
    wait_file(program.path("zemlo.htm"), ABOUT)
    for name, data in files.items():
        if read_bytes(os.path.join(site, name)) != data:
            raise JourneyFailed("%s changed" % name)
    activate(main)
    key("ctrl+q")
    if wait_exit(program.processes[0]) != 0:
        raise JourneyFailed("the program ended with an error")


run(journey)
