#pragma once

#include <QString>
#include <QStringList>

// The paths named on the program's command line: every text enclosed in a pair of double
// quotes, in order. Text outside the pairs is ignored; a last unpaired quote ends the scan.
QStringList QuotedPaths(const QString &commandLine);
// The paths the program starts on, from its arguments (the program's own name first). After
// a first argument "--open", the form desktop launchers use, each further argument is one
// path taken as it stands, quotes and all. Arguments of which any holds a double quote are
// one command line whose quoted paths are opened, as they always were. Otherwise each
// argument is one path, as a shell passes them; empty ones name nothing.
QStringList CommandLinePaths(const QStringList &arguments);
// paths with each relative one made absolute against base. An empty path stays empty.
QStringList AbsolutePaths(const QStringList &paths, const QString &base);
