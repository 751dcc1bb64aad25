#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

#include <functional>

// Code page 932 (Windows Shift-JIS) text conversion that never loses a byte.
//
// Decoding follows Windows: the user-defined area F040-F9FC becomes U+E000-U+E757 (the i-mode
// pictographs among them), 0x80 becomes U+0080 and 0xA0, 0xFD-0xFF become U+F8F0-U+F8F3.
// Any other byte that is not valid code page 932 (a lead byte with a bad trail byte, a lead
// byte at the very end) is kept as an escape character U+F780 + byte.
//
// Encoding writes the form Windows writes where code page 932 has several byte sequences for
// one character, and writes the JIS-side characters that input methods type as their code
// page 932 equivalents (U+301C as 81 60, U+2212 as 81 7C, ...).
//
// A page is read with decodePage and written with encodePage: the text then comes with its
// forms, the byte sequences its characters were read in where they differ from what encode
// writes (a twin of the Windows sequence, a line end other than the page's own, a kept
// invalid byte), so that an unedited page writes back byte for byte while characters entered
// since get the Windows form.
namespace Cp932 {

QString decode(QByteArrayView bytes);

// The bytes that may begin and end a double-byte sequence.
constexpr bool isLeadByte(uchar b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
constexpr bool isTrailByte(uchar b)
{
    return b >= 0x40 && b <= 0xFC && b != 0x7F;
}
// The user-defined area F040-F9FC, the carriers' pictographs among it, decodes linearly onto
// U+E000-U+E757; 0 for two bytes outside it.
constexpr char16_t userDefinedChar(uchar lead, uchar trail)
{
    if (lead < 0xF0 || lead > 0xF9 || !isTrailByte(trail))
        return 0;
    return char16_t(0xE000 + (lead - 0xF0) * 188 + (trail - 0x40) - (trail > 0x7F ? 1 : 0));
}

// The byte a kept invalid byte's escape character stands for; -1 for any other character.
int keptByte(QChar c);

// Line ends as written: AsIs (the same as Lf) writes LF as LF, CrLf as CR LF, Cr as CR.
enum class LineEnds : quint8
{
    AsIs,
    CrLf,
    Cr,
    Lf = AsIs
};

// The bytes (0x0A, 0x0D or 0x0D0A) that write a line end of a page: its kept form where form is
// one, else the page's own; a lone LF right after a lone CR is written CR LF, as the two would
// otherwise read back as one line end. Every writer of pages writes its line ends through this.
quint16 lineEndBytes(quint16 form, LineEnds lineEnds, bool afterLoneCr);

// A unit of a page that cannot be written as it stands.
struct Unwritable
{
    enum class Reason : quint8
    {
        NotInCodePage, // code page 932 has no sequence for the character
        LoneByte,      // an escape U+F780 + byte that was not read there from the file (typed,
                       // pasted, or a kept byte parted from its pair): never written raw
        JoinsLoneByte, // the character would pair with the kept lone lead byte before it and
                       // read back as another character
    };
    qsizetype position = 0; // in UTF-16 units
    int length = 1;         // 2 for a character outside the basic plane
    Reason reason = Reason::NotInCodePage;
    uchar byte = 0; // LoneByte: the byte it stands for; JoinsLoneByte: the lone byte before it
    friend bool operator==(const Unwritable &, const Unwritable &) = default;
};

struct Encoded
{
    QByteArray bytes;
    // The characters that cannot be written, each once, in order of appearance. They are
    // written as "?" in bytes; callers that must not lose them check this first.
    QString unencodable;
    // encodePage only: every unit that cannot be written as it stands, where it stands.
    QList<Unwritable> unwritable;
    bool ok() const { return unencodable.isEmpty() && unwritable.isEmpty(); }
};
Encoded encode(QStringView text);
// The same, writing each LF as given: the file form of the control's text, without a copy.
// Escapes U+F780 + byte are written as their byte.
Encoded encode(QStringView text, LineEnds lineEnds);

// True when every character of text can be written by encode.
bool canEncode(QStringView text);

// Replaces every character that cannot be written by its decimal numeric character
// reference ("&#128512;"), one reference per code point.
QString withCharacterReferences(QStringView text);

// How one character of a page was written in its file, where encodePage would not write it
// so by itself: bytes is the sequence (lead << 8 | trail, or one byte). Kept for a twin of a
// double-byte character, for a line end (0A, 0D or 0D0A) other than the page's own, and for
// every kept invalid byte (its escape's byte).
struct Form
{
    int position = 0; // in UTF-16 units of the page's text
    quint16 bytes = 0;
    friend bool operator==(const Form &, const Form &) = default;
};
// Sorted by position, at most one per position.
using Forms = QList<Form>;

// A page as read from its file.
struct Page
{
    QString text; // every line end (CR LF, CR, LF) as one LF
    Forms forms;  // the forms that differ from what encodePage writes by itself
    LineEnds lineEnds = LineEnds::CrLf; // the page's own: its most frequent, on a tie the first
};
// An empty file, or one without a line end, gets CR LF.
Page decodePage(QByteArrayView bytes);

// Writes a page: a character with a form that still fits it (the form decodes to it) in that
// form, any other as encode writes it, LF as lineEnds. Escapes are written as their byte only
// where they have their form and read back as themselves; what cannot be written so is listed
// in unwritable (and in unencodable), written as "?". decodePage then encodePage gives the
// bytes back exactly.
Encoded encodePage(QStringView text, const Forms &forms, LineEnds lineEnds);

// encodePage over a text kept in pieces (each ending between the halves of no surrogate pair),
// handed to write a part at a time as the pieces are read: the same bytes however the text is
// cut. A character the code page has no sequence for is written as its character reference
// ("&#128512;"), which a browser shows, rather than "?"; any other unit that cannot be written
// as it stands is "?" as in encodePage.
void encodePageInPieces(const QList<QString> &pieces, const Forms &forms, LineEnds lineEnds,
                        const std::function<void(QByteArrayView part)> &write);

// The forms follow an edit of the text: those of removed characters go, those after move.
// Characters inserted have none. Leaves forms untouched (shared) when nothing follows.
void followEdit(Forms &forms, qsizetype position, qsizetype removed, qsizetype added);

} // namespace Cp932
