"""The installed program folder is complete and runs from where it lies; its desktop entry,
registered by the folder's script, starts it on the pages a launcher hands over bare."""

import os
import shlex
import subprocess

from e2elib import *

A = page("<html>\nＡ\n</html>\n")
B = page("<html>\nＢ ページ\n</html>\n")


class InstalledProgram(Program):
    def _copy_program(self):
        cmake = os.environ.get("ZEMLO_CMAKE", "cmake")
        subprocess.run([cmake, "--install", self.build_dir, "--prefix", self.folder],
                       check=True, capture_output=True)


def desktop_entry_command(entry, paths):
    """The command a launcher runs for the entry's Exec line with the files paths."""
    with open(entry, encoding="utf-8") as f:
        fields = dict(line.rstrip("\n").split("=", 1) for line in f if "=" in line)
    exec_line = fields["Exec"].replace("\\\\", "\\")
    command = []
    for word in shlex.split(exec_line):
        command.extend(paths if word == "%F" else [word])
    return command, fields


def journey(program):
    for name in ("zemlo", "libzemlo_preview.so", "zemlo.tag", "zemlo.png",
                 "ImageList/ImageList.lst", "ImageList/63647.gif", "basic.tmp",
                 "register-desktop-entry.sh"):
        if not os.path.exists(program.path(name)):
            raise JourneyFailed("the installed folder lacks " + name)
    with open(program.path("basic.tmp"), "rb") as f:
        template = f.read()
    template.decode("cp932")
    if b"\n" in template.replace(b"\r\n", b""):
        raise JourneyFailed("a template has a line end other than CR LF")

    data_home = os.path.join(program.root, "share")
    env = dict(os.environ, XDG_DATA_HOME=data_home)
    subprocess.run([program.path("register-desktop-entry.sh")], env=env, check=True,
                   capture_output=True)
    entry = os.path.join(data_home, "applications", "zemlo.desktop")
    if not os.path.exists(os.path.join(data_home, "mime", "packages", "zemlo-mime.xml")):
        raise JourneyFailed("the page types were not registered")

    a = program.write_page("a.html", A)
    b = program.write_page("b page.lbi", B)
    command, fields = desktop_entry_command(entry, [a, b])
    if fields.get("Icon") != program.path("zemlo.png"):
        raise JourneyFailed("the entry's icon is %r" % fields.get("Icon"))
    for kind in ("text/html", "text/x-jsp", "application/x-asp", "text/x-html-library-item",
                 "text/x-imode-template"):
        if kind not in fields.get("MimeType", "").split(";"):
            raise JourneyFailed("the entry does not open " + kind)
    if command[0] != program.path("zemlo"):
        raise JourneyFailed("the entry starts %r" % command[0])

    program.start(*command[1:])
    main = program.main_window()
    # Both pages open, the second one active and in the preview.
    wait_file(program.path("zemlo.htm"), B)
    key("alt+f")
    key("c")
    wait_file(program.path("zemlo.htm"), A)
    # The pictographs beside the installed program are found.
    key("ctrl+i")
    wait_window("i-mode 絵文字")


run(journey, InstalledProgram)
