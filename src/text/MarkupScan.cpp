#include "text/MarkupScan.h"

#include <QStringList>

namespace MarkupScan {

const QRegularExpression &charsetDeclaration()
{
    static const QRegularExpression declared(
        QStringLiteral(R"(<meta[^>]*charset\s*=\s*["']?\s*([A-Za-z0-9_\-]+))"),
        QRegularExpression::CaseInsensitiveOption);
    return declared;
}

Charset charsetOf(QStringView name)
{
    static const QStringList shiftJis = {"shift_jis",   "shift-jis",   "sjis",  "x-sjis",
                                         "windows-31j", "cp932",       "ms932", "csshiftjis",
                                         "ms_kanji",    "cswindows31j"};
    for (const QString &alias : shiftJis) {
        if (name.compare(alias, Qt::CaseInsensitive) == 0)
            return Charset::ShiftJis;
    }
    if (name.compare(QLatin1String("utf-8"), Qt::CaseInsensitive) == 0 ||
        name.compare(QLatin1String("utf8"), Qt::CaseInsensitive) == 0)
        return Charset::Utf8;
    return Charset::Other;
}

} // namespace MarkupScan
