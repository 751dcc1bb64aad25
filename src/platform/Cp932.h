#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Code page 932 (Windows Shift-JIS) text conversion that never loses a byte.
//
// Decoding follows Windows: the user-defined area F040-F9FC becomes U+E000-U+E757 (the i-mode
// pictographs among them), 0x80 becomes U+0080 and 0xA0, 0xFD-0xFF become U+F8F0-U+F8F3.
// Any other byte that is not valid code page 932 (a lead byte with a bad trail byte, a lead
// byte at the very end) is kept as an escape character U+F780 + byte, which encoding writes
// back as that byte, so an unedited text saves back exactly as it was read.
//
// Encoding writes the form Windows writes where code page 932 has several byte sequences for
// one character, and writes the JIS-side characters that input methods type as their code
// page 932 equivalents (U+301C as 81 60, U+2212 as 81 7C, ...).
namespace Cp932 {

QString decode(QByteArrayView bytes);

struct Encoded
{
    QByteArray bytes;
    // The characters that code page 932 cannot hold, each once, in order of appearance.
    // They are written as "?" in bytes; callers that must not lose them check this first.
    QString unencodable;
    bool ok() const { return unencodable.isEmpty(); }
};
Encoded encode(QStringView text);
// The same, writing each LF as CR LF: the file form of the control's text, without a copy.
enum class LineEnds { AsIs, CrLf };
Encoded encode(QStringView text, LineEnds lineEnds);

// True when every character of text can be written.
bool canEncode(QStringView text);

// Replaces every character that cannot be written by its decimal numeric character
// reference ("&#128512;"), one reference per code point.
QString withCharacterReferences(QStringView text);

} // namespace Cp932
