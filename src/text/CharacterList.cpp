#include "text/CharacterList.h"

#include <QSet>
#include <QStringList>

QString DescribeCharacters(const QList<char32_t> &characters)
{
    QList<NamedCharacter> named;
    named.reserve(characters.size());
    for (const char32_t c : characters)
        named.append({c, QString()});
    return DescribeCharacters(named);
}

QString DescribeCharacters(const QList<NamedCharacter> &characters)
{
    constexpr qsizetype namedAtMost = 10;
    QStringList names;
    QSet<QString> seen;
    for (const NamedCharacter &named : characters) {
        const char32_t c = named.character;
        const QString code =
            QStringLiteral("U+") +
            QString::number(quint32(c), 16).rightJustified(4, QLatin1Char('0')).toUpper();
        const QString key = code + QLatin1Char(' ') + named.note;
        if (seen.contains(key))
            continue;
        seen.insert(key);
        if (names.size() < namedAtMost)
            names.append(QStringLiteral("「%1」(%2%3)")
                             .arg(QString::fromUcs4(&c, 1), code,
                                  named.note.isEmpty() ? QString()
                                                       : QStringLiteral("、") + named.note));
    }
    QString list = names.join(QStringLiteral("、"));
    if (seen.size() > namedAtMost)
        list += QStringLiteral(" ほか %1 文字").arg(seen.size() - namedAtMost);
    return list;
}
