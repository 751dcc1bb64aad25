// Code page 932: decoding never loses a byte, and encoding is consistent with its own checks.
#include "FuzzCheck.h"
#include "platform/Cp932.h"

namespace {

// Code points with a lone surrogate kept as itself (toUcs4 would merge them all into U+FFFD).
QList<char32_t> codePoints(const QString &text)
{
    QList<char32_t> points;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            points.append(QChar::surrogateToUcs4(c, text[i + 1].unicode()));
            ++i;
        } else {
            points.append(c);
        }
    }
    return points;
}

// Invalid bytes read from a file are kept as U+F780 + byte.
bool hasKeptBytes(const QString &text)
{
    for (const QChar c : text)
        if (c.unicode() >= 0xF780 && c.unicode() <= 0xF87F)
            return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray rest = FuzzBytes(data + 1, size - 1);

    if (data[0] & 1) {
        // Bytes read from a file: an unedited round trip gives them back, except that a
        // character with several sequences comes back in its preferred one, which is also two
        // bytes and decodes to the same character.
        const QString text = Cp932::decode(rest);
        const Cp932::Encoded encoded = Cp932::encode(text);
        FUZZ_CHECK(encoded.ok());
        FUZZ_CHECK(Cp932::canEncode(text));
        FUZZ_CHECK(encoded.bytes.size() == rest.size());
        // The file form writes each LF as CR LF; no other byte of the page can be 0x0A.
        FUZZ_CHECK(Cp932::encode(text, Cp932::LineEnds::CrLf).bytes ==
                   QByteArray(encoded.bytes).replace("\n", "\r\n"));
        if (encoded.bytes != rest) {
            FUZZ_CHECK(Cp932::decode(encoded.bytes) == text);
            // The preferred form is stable.
            FUZZ_CHECK(Cp932::encode(Cp932::decode(encoded.bytes)).bytes == encoded.bytes);
            // Only two-byte characters change: a byte that differs is never one below 0x40,
            // which can only be a character of its own.
            for (qsizetype i = 0; i < rest.size(); ++i) {
                if (encoded.bytes[i] != rest[i])
                    FUZZ_CHECK(uchar(rest[i]) >= 0x40);
            }
        }
        // Characters are encoded one by one: the first half of the text gives the first
        // bytes of the whole.
        if (!text.isEmpty()) {
            const qsizetype half = text.size() / 2;
            const Cp932::Encoded head = Cp932::encode(QStringView(text).first(half));
            FUZZ_CHECK(head.ok());
            FUZZ_CHECK(encoded.bytes.startsWith(head.bytes));
        }
    } else {
        // Any text: what cannot be written is reported, each character once, and the numeric
        // references make every text writable.
        const QString text = FuzzUtf16(data + 1, size - 1);
        const Cp932::Encoded encoded = Cp932::encode(text);
        FUZZ_CHECK(Cp932::canEncode(text) == encoded.ok());
        // (Lone surrogates are listed as themselves, so that a lone high one next to a lone
        // low one would read back as a pair: the check needs a text with none.)
        const QList<char32_t> missing = codePoints(encoded.unencodable);
        if (QStringView(text).isValidUtf16()) {
            for (qsizetype i = 0; i < missing.size(); ++i) {
                for (qsizetype j = i + 1; j < missing.size(); ++j)
                    FUZZ_CHECK(missing[i] != missing[j]);
            }
        }
        const QString referenced = Cp932::withCharacterReferences(text);
        FUZZ_CHECK(Cp932::canEncode(referenced));
        FUZZ_CHECK(Cp932::encode(referenced).ok());
        if (encoded.ok()) {
            FUZZ_CHECK(referenced == text);
            // What is written reads back and writes again without a byte lost or added, and
            // from then on stays as it is.
            const QString back = Cp932::decode(encoded.bytes);
            const QByteArray again = Cp932::encode(back).bytes;
            FUZZ_CHECK(again.size() == encoded.bytes.size());
            FUZZ_CHECK(Cp932::decode(again) == back);
            // Writable text reads back as itself, but for the JIS-side characters that are
            // written as their code page 932 equivalents; those read back stably. A kept
            // invalid byte is the exception: a lead byte kept alone pairs with a character
            // typed after it whose first byte can trail (the file holds just those bytes).
            if (!hasKeptBytes(text))
                FUZZ_CHECK(again == encoded.bytes);
        }
    }
    return 0;
}
