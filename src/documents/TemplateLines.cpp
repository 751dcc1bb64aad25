#include "documents/TemplateLines.h"

QStringList TemplateLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (text.at(i) != QLatin1Char('\r'))
            continue;
        lines.append(text.mid(start, i - start));
        if (i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    // Text after the last line end; a file ending in a line end has nothing more to read.
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}
