#include "platform/CharacterList.h"

#include <QSet>
#include <QStringList>

QString DescribeCharacters(const QList<char32_t> &characters)
{
    constexpr qsizetype namedAtMost = 10;
    QStringList names;
    QSet<char32_t> seen;
    for (const char32_t c : characters) {
        if (seen.contains(c))
            continue;
        seen.insert(c);
        if (names.size() < namedAtMost)
            names.append(QStringLiteral("「%1」(U+%2)")
                             .arg(QString::fromUcs4(&c, 1),
                                  QString::number(quint32(c), 16)
                                      .rightJustified(4, QLatin1Char('0'))
                                      .toUpper()));
    }
    QString list = names.join(QStringLiteral("、"));
    if (seen.size() > namedAtMost)
        list += QStringLiteral(" ほか %1 文字").arg(seen.size() - namedAtMost);
    return list;
}
