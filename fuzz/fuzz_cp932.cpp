// Code page 932: a page read and written back untouched comes back byte for byte, an edited
// page reads back as edited or names what it cannot write, and encoding is consistent with its
// own checks.
#include "FuzzCheck.h"
#include "text/Cp932.h"

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

// The text with CR LF and a lone CR made LF, as a page holds its line ends.
QString lineEndsAsLf(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
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
        // Bytes read from a file. Read as a page and written back with the forms its
        // characters came in, every untouched page comes back byte for byte.
        const Cp932::Page page = Cp932::decodePage(rest);
        const Cp932::Encoded back = Cp932::encodePage(page.text, page.forms, page.lineEnds);
        FUZZ_CHECK(back.ok());
        FUZZ_CHECK(back.bytes == rest);
        // The page is the plain decoding with each line end (CR LF, CR, LF) one LF.
        FUZZ_CHECK(page.text == lineEndsAsLf(Cp932::decode(rest)));
        for (qsizetype i = 0; i < page.forms.size(); ++i) {
            FUZZ_CHECK(page.forms[i].position >= 0 && page.forms[i].position < page.text.size());
            if (i > 0)
                FUZZ_CHECK(page.forms[i - 1].position < page.forms[i].position);
        }
        // The CR LF form: without the forms of its line ends and with CR LF as its own, the
        // page writes every line end as CR LF and every other byte as it was.
        Cp932::Forms withoutLineEnds;
        for (const Cp932::Form &form : page.forms)
            if (page.text[form.position] != u'\n')
                withoutLineEnds.append(form);
        QByteArray crlf = rest;
        crlf.replace("\r\n", "\n").replace('\r', '\n').replace("\n", "\r\n");
        FUZZ_CHECK(Cp932::encodePage(page.text, withoutLineEnds, Cp932::LineEnds::CrLf).bytes ==
                   crlf);

        // Entered rather than read (no forms), the same characters are written as Windows
        // writes them: a character with several sequences in its preferred one, which is also
        // two bytes and decodes to the same character.
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
    } else if (data[0] & 2) {
        // A page read, then edited: removed characters take their forms with them, inserted
        // ones have none. What can be written reads back as the edited text; what cannot
        // (a kept lone byte that would pair with what now follows it, an escape that was not
        // read there) is named, and with references in its place the page reads back as that.
        if (rest.size() < 4)
            return 0;
        Cp932::Page page = Cp932::decodePage(rest.sliced(4));
        const qsizetype at = (uchar(rest[0]) | uchar(rest[1]) << 8) % (page.text.size() + 1);
        const qsizetype removed = qMin<qsizetype>(uchar(rest[2]) % 8, page.text.size() - at);
        // Typed: markup, a line end, double-byte characters, two escapes, a character outside
        // the code page, nothing.
        static const QStringList pieces =
            QString::fromUtf16(
                u"a| |\n|@|&|\x3042|\x2460|\xFF71|\xF802|\xF7C0|\x00A5|\x2235|\xE63E|")
                .split(u'|');
        const QString inserted = pieces.at(uchar(rest[3]) % pieces.size());
        page.text.replace(at, removed, inserted);
        Cp932::followEdit(page.forms, at, removed, inserted.size());
        const Cp932::Encoded encoded = Cp932::encodePage(page.text, page.forms, page.lineEnds);
        QString written = page.text;
        Cp932::Forms forms = page.forms;
        if (!encoded.ok()) {
            for (auto it = encoded.unwritable.crbegin(); it != encoded.unwritable.crend(); ++it) {
                const QString reference =
                    QStringLiteral("&#%1;").arg(quint32(written[it->position].unicode()));
                written.replace(it->position, it->length, reference);
                Cp932::followEdit(forms, it->position, it->length, reference.size());
            }
        }
        const Cp932::Encoded fixed = Cp932::encodePage(written, forms, page.lineEnds);
        FUZZ_CHECK(fixed.ok());
        const Cp932::Page back = Cp932::decodePage(fixed.bytes);
        FUZZ_CHECK(back.text == written);
        FUZZ_CHECK(Cp932::encodePage(back.text, back.forms, back.lineEnds).bytes == fixed.bytes);
    } else {
        // Any text, as entered: what cannot be written is reported, each character once, and
        // the numeric references make every text writable.
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
            // written as their code page 932 equivalents; those read back stably. The plain
            // encoder writes escapes as their bytes, and a lead byte so written pairs with a
            // character after it whose first byte can trail: the exception here, which a page
            // (the edit above) names instead of writing. As a page, entered text has no
            // escape written at all.
            if (!hasKeptBytes(text))
                FUZZ_CHECK(again == encoded.bytes);
            const Cp932::Encoded asPage = Cp932::encodePage(text, {}, Cp932::LineEnds::Lf);
            FUZZ_CHECK(asPage.ok() == !hasKeptBytes(text));
            if (asPage.ok())
                FUZZ_CHECK(asPage.bytes == encoded.bytes);
        }
    }
    return 0;
}
