// Narrow: no full-width character with a half-width form is left, nothing else changes, the
// text never shrinks and a second pass changes nothing.
#include "FuzzCheck.h"
#include "tools/Narrow.h"

namespace {

// The characters that have a half-width form, written out independently of the converter.
bool hasHalfWidthForm(char16_t c)
{
    if (c >= 0xFF01 && c <= 0xFF5E) // full-width ASCII
        return true;
    switch (c) {
    case 0x3000: // ideographic space
    case 0x3001: // 、
    case 0x3002: // 。
    case 0x300C: // 「
    case 0x300D: // 」
    case 0x3099: // combining voiced mark
    case 0x309A: // combining semi-voiced mark
    case 0x309B: // ゛
    case 0x309C: // ゜
    case 0x30FB: // ・
    case 0x30FC: // ー
        return true;
    // Katakana with no exact half-width form.
    case 0x30EE: // ヮ
    case 0x30F0: // ヰ
    case 0x30F1: // ヱ
    case 0x30F5: // ヵ
    case 0x30F6: // ヶ
    case 0x30F8: // ヸ
    case 0x30F9: // ヹ
        return false;
    default:
        return c >= 0x30A1 && c <= 0x30FA;
    }
}

bool isHalfWidthKana(char16_t c)
{
    return c >= 0xFF61 && c <= 0xFF9F;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = FuzzUtf16(data, size);
    const QString narrow = Narrow(text);
    FUZZ_CHECK(narrow.size() >= text.size());
    FUZZ_CHECK(Narrow(narrow) == narrow);

    // Each character is converted on its own: the text is the concatenation of them.
    QString joined;
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        const QString one = Narrow(QStringView(&qc, 1));
        joined += one;
        if (!hasHalfWidthForm(c)) {
            FUZZ_CHECK(one.size() == 1 && one[0] == qc); // kept as it is
            continue;
        }
        FUZZ_CHECK(one.size() == 1 || one.size() == 2);
        const char16_t n = one[0].unicode();
        FUZZ_CHECK(!hasHalfWidthForm(n));
        if (c >= 0xFF01 && c <= 0xFF5E)
            FUZZ_CHECK(n == c - 0xFF01 + 0x21);
        else if (c == 0x3000)
            FUZZ_CHECK(n == u' ');
        else
            FUZZ_CHECK(isHalfWidthKana(n));
        // Only a voiced or semi-voiced katakana gains its mark as a second character.
        if (one.size() == 2) {
            FUZZ_CHECK(one[1] == u'\uFF9E' || one[1] == u'\uFF9F');
            FUZZ_CHECK(c >= 0x30AC && c <= 0x30FA);
        }
    }
    FUZZ_CHECK(joined == narrow);
    return 0;
}
