#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>

// The carriers' pictographs that a code page 932 page can hold as raw bytes: one table, read
// once from the program's own copy, shared by the preview, the source window and exports.
struct Pictograph
{
    enum class Carrier { Docomo, Kddi };

    Carrier carrier = Carrier::Docomo;
    char16_t sjis = 0; // the Shift-JIS code, also the number of &#63647; and the image's name
    char16_t pua = 0;  // the private-use character code page 932 decodes the raw bytes to
    // The carrier's own private-use code point, which references (&#xE5B5;) name: au numbers
    // its codes apart from code page 932, so for au it is often not pua.
    char16_t carrierPua = 0;
    ushort number = 0; // au's icon number, as <img localsrc="44"> names it; 0 for none
    QString emoji;     // the standard emoji that stands for it; empty where there is none
    QString nameJa;
    QString nameEn;

    // "ImageList/63647.gif": the picture, relative to the program folder.
    QString imageFile() const;
};

struct PictographTableRead
{
    QList<Pictograph> rows;
    QString error; // empty when the whole table was read

    bool ok() const { return error.isEmpty(); }
};

namespace Pictographs {

// Reads the table: a UTF-8 header line
// "carrier,sjis_hex,decimal,pua,unicode,name_ja,name_en,carrier_pua,number" and one row a line. A
// bad row stops the reading, with the rows before it kept.
PictographTableRead parse(QByteArrayView csv);

// The program's table.
const QList<Pictograph> &all();

const Pictograph *bySjis(uint code);
// By the character raw bytes decode to; never for a reference's value.
const Pictograph *byPua(uint codePoint);
// What a numeric character reference's value names: a Shift-JIS code or the carrier's own
// private-use code point.
const Pictograph *byReference(uint value);
// au's icon number (localsrc).
const Pictograph *byNumber(uint number);
inline bool isPictograph(QChar c)
{
    return c.unicode() >= 0xE000 && c.unicode() < 0xE800 && byPua(c.unicode());
}

QString imagePath(const QString &programFolder, const Pictograph &pictograph);

} // namespace Pictographs
