#include "app/CommandLine.h"

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
    return QuotedPaths(arguments.mid(1).join(QLatin1Char(' ')));
}
