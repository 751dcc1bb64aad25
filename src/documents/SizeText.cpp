#include "documents/SizeText.h"

#include <QLocale>

QString SizeText(double kilobytes)
{
    QString text = QLocale::c().toString(kilobytes, 'g', 15);
    // Plain notation only: large or tiny values must not turn into exponents.
    if (text.contains(QLatin1Char('e')))
        text = QLocale::c().toString(kilobytes, 'f', 15);
    if (text.contains(QLatin1Char('.'))) {
        const qsizetype dot = text.indexOf(QLatin1Char('.'));
        text.truncate(qMin(text.size(), dot + 3));
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text;
}

double SizeFromPanelText(const QString &text)
{
    const qsizetype kb = text.indexOf(QLatin1String(" KB"));
    bool ok = false;
    const double value = QLocale::c().toDouble(kb >= 0 ? text.left(kb).trimmed() : text.trimmed(), &ok);
    return ok ? value : 0.0;
}
