#include "documents/CharacterReferences.h"

#include "platform/CharacterList.h"
#include "platform/Cp932.h"

namespace {
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
    QList<char32_t> characters;
    characters.reserve(found.size());
    for (const CharacterReference &ref : found)
        characters.append(codePointAt(text, ref));
    return DescribeCharacters(characters);
}
