#include "documents/CharacterReferences.h"

#include "text/CharacterList.h"

namespace {
char32_t codePointAt(const QString &text, const CharacterReference &at)
{
    const QChar first = text.at(at.position);
    if (at.length == 2)
        return QChar::surrogateToUcs4(first, text.at(at.position + 1));
    return first.unicode();
}

QString byteName(uchar byte)
{
    return QString::number(byte, 16).rightJustified(2, QLatin1Char('0')).toUpper();
}
} // namespace

QList<CharacterReference> UnwritableCharacters(const QString &text, const Cp932::Forms &forms)
{
    QList<CharacterReference> found;
    // The line ends play no part in what can be written.
    const Cp932::Encoded encoded = Cp932::encodePage(text, forms, Cp932::LineEnds::Lf);
    found.reserve(encoded.unwritable.size());
    for (const Cp932::Unwritable &unit : encoded.unwritable) {
        CharacterReference ref{int(unit.position), unit.length, {}, unit.reason, unit.byte};
        ref.reference = QStringLiteral("&#%1;").arg(quint32(codePointAt(text, ref)));
        found.append(ref);
    }
    return found;
}

QString NameCharacters(const QString &text, const QList<CharacterReference> &found)
{
    QList<NamedCharacter> characters;
    characters.reserve(found.size());
    for (const CharacterReference &ref : found) {
        QString note;
        switch (ref.reason) {
        case Cp932::Unwritable::Reason::NotInCodePage:
            break;
        case Cp932::Unwritable::Reason::LoneByte:
            note = QStringLiteral("単独のバイト %1 を表す文字").arg(byteName(ref.byte));
            break;
        case Cp932::Unwritable::Reason::JoinsLoneByte:
            note = QStringLiteral("前にある単独のバイト %1 と結び付いて別の文字になる")
                       .arg(byteName(ref.byte));
            break;
        }
        characters.append({codePointAt(text, ref), note});
    }
    return DescribeCharacters(characters);
}
