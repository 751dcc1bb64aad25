#pragma once

#include <QString>
#include <QStringList>

// The paths named on the program's command line: every text enclosed in a pair of double
// quotes, in order. Text outside the pairs is ignored; a last unpaired quote ends the scan.
QStringList QuotedPaths(const QString &commandLine);
// The command line after the program's own name, as the arguments give it; after a first
// argument "--open", each further argument is one path, given back enclosed in quotes.
QString CommandLineText(const QStringList &arguments);
