#include "documents/CharacterReferences.h"

#include "platform/Cp932.h"

#include <QSet>

namespace {
constexpr int NamedAtMost = 10;

char32_t codePointAt(const QString &text, const CharacterReference &at)
{
    const QChar first = text.at(at.position);
    if (at.length == 2)
        return QChar::surrogateToUcs4(first, text.at(at.position + 1));
    return first.unicode();
}
} // namespace

QList<CharacterReference> UnencodableCharacters(const QString &text)
{
    QList<CharacterReference> found;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n;) {
        const bool pair =
            text.at(i).isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate();
        const int length = pair ? 2 : 1;
        if (!Cp932::canEncode(QStringView(text).mid(i, length))) {
            CharacterReference ref{int(i), length, {}};
            ref.reference = QStringLiteral("&#%1;").arg(quint32(codePointAt(text, ref)));
            found.append(ref);
        }
        i += length;
    }
    return found;
}

QString NameCharacters(const QString &text, const QList<CharacterReference> &found)
{
    QStringList names;
    QSet<char32_t> seen;
    for (const CharacterReference &ref : found) {
        const char32_t c = codePointAt(text, ref);
        if (seen.contains(c))
            continue;
        seen.insert(c);
        if (names.size() < NamedAtMost)
            // The code as well: some of these characters cannot be seen (joiners, spaces).
            names.append(QStringLiteral("「%1」(U+%2)")
                             .arg(text.mid(ref.position, ref.length),
                                  QString::number(quint32(c), 16)
                                      .rightJustified(4, QLatin1Char('0'))
                                      .toUpper()));
    }
    QString list = names.join(QStringLiteral("、"));
    if (seen.size() > NamedAtMost)
        list += QStringLiteral(" ほか %1 文字").arg(seen.size() - NamedAtMost);
    return list;
}
