#include "app/CommandLine.h"

#include <QDir>
#include <algorithm>

QStringList QuotedPaths(const QString &commandLine)
{
    QStringList paths;
    qsizetype start = 0;
    for (;;) {
        const qsizetype open = commandLine.indexOf(QLatin1Char('"'), start);
        if (open < 0)
            break;
        const qsizetype close = commandLine.indexOf(QLatin1Char('"'), open + 1);
        if (close < 0)
            break;
        paths.append(commandLine.mid(open + 1, close - open - 1));
        start = close + 1;
    }
    return paths;
}

QStringList CommandLinePaths(const QStringList &arguments)
{
    // Never through the quote scan: a name holding a quote would be cut into other paths.
    if (arguments.size() > 1 && arguments.at(1) == QLatin1String("--open"))
        return arguments.mid(2);
    const QStringList given = arguments.mid(1);
    // A line with quotes anywhere keeps its old reading whole: a pair may span arguments, and
    // text outside the pairs never named a page.
    const auto quoted = [](const QString &a) { return a.contains(QLatin1Char('"')); };
    if (std::any_of(given.cbegin(), given.cend(), quoted))
        return QuotedPaths(given.join(QLatin1Char(' ')));
    QStringList paths;
    for (const QString &a : given)
        if (!a.isEmpty())
            paths.append(a);
    return paths;
}

QStringList AbsolutePaths(const QStringList &paths, const QString &base)
{
    // "." steps and doubled slashes go; ".." stays, as after a linked folder it leads elsewhere
    // than the step before it.
    const QDir dir(base);
    QStringList absolute;
    absolute.reserve(paths.size());
    for (const QString &p : paths) {
        if (p.isEmpty()) {
            absolute.append(p);
            continue;
        }
        QStringList steps = dir.absoluteFilePath(p).split(QLatin1Char('/'));
        steps.removeIf([](const QString &s) { return s.isEmpty() || s == QLatin1String("."); });
        absolute.append(QLatin1Char('/') + steps.join(QLatin1Char('/')));
    }
    return absolute;
}
