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

QString CommandLineText(const QStringList &arguments)
{
    // Desktop launchers hand over bare paths; "--open" quotes each one for the scan above.
    if (arguments.size() > 1 && arguments.at(1) == QLatin1String("--open")) {
        QStringList quoted;
        for (const QString &path : arguments.mid(2))
            quoted.append(QLatin1Char('"') + path + QLatin1Char('"'));
        return quoted.join(QLatin1Char(' '));
    }
    return arguments.mid(1).join(QLatin1Char(' '));
}
