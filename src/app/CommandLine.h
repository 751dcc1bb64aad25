#pragma once

#include <QString>
#include <QStringList>

// The paths named on the program's command line: every text enclosed in a pair of double
// quotes, in order. Text outside the pairs is ignored; a last unpaired quote ends the scan.
QStringList QuotedPaths(const QString &commandLine);

// What the program's arguments (its own name first) ask of it.
struct CommandLineRequest
{
    enum class Action
    {
        Open,
        Help,
        Version,
        Refuse
    };
    Action action = Action::Open;
    // The pages to start on, for Open.
    QStringList paths;
    // The option not known, for Refuse.
    QString option;
};
// After a first argument "--open", the form desktop launchers use, each further argument is
// one path taken as it stands, quotes and all. Arguments of which any holds a double quote are
// one command line whose quoted paths are opened, as they always were. Otherwise an argument
// that begins with "-" is an option ("--help" or "-h", "--version"; any other is refused), but
// for a lone "-" and a later "--open", until an argument "--", after which each is a path; the
// rest are one path each, as a shell passes them; empty ones name nothing.
CommandLineRequest ReadCommandLine(const QStringList &arguments);
// The paths of ReadCommandLine, whatever else the arguments ask.
QStringList CommandLinePaths(const QStringList &arguments);
// What --help prints.
QString CommandLineUsage();

// True when name, an argument or file name as the system gives it, reads as text in the
// locale's encoding and is given back as the same bytes: a name that is not would be turned
// into another name.
bool ReadableName(const QByteArray &name);
// name as a user can read it in a message: the bytes that do not read as text written as \xNN.
QString ShownName(const QByteArray &name);
// paths with each relative one made absolute against base. An empty path stays empty.
QStringList AbsolutePaths(const QStringList &paths, const QString &base);
