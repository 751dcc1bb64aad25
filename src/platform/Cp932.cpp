#include "platform/Cp932.h"

#include <QtGlobal>

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

#include <array>
#include <memory>
#include <unordered_set>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Cp932 {

namespace {

// Bytes that cannot be decoded become U+F780 + byte; the range is free in code page 932.
constexpr char16_t EscapeBase = 0xF780;
constexpr quint16 Unencodable = 0xFFFF; // FF is never a lead byte, so no real sequence
constexpr quint8 NotLead = 0xFF;
constexpr int LeadCount = 60; // 81-9F, E0-FC

constexpr bool isLeadByte(uchar b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

constexpr bool isTrailByte(uchar b)
{
    return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

// Lower is preferred when one character has several sequences: the order Windows writes them.
int preference(quint16 code)
{
    const int lead = code >> 8;
    if (lead <= 0x84 || (lead >= 0x88 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xEA))
        return 0; // single byte or JIS X 0208
    if (lead == 0x87)
        return 1; // NEC row 13
    if (lead >= 0xFA)
        return 2; // IBM extension
    if (lead == 0xED || lead == 0xEE)
        return 3; // NEC-selected IBM extension
    return 4;
}

struct Tables
{
    std::array<char16_t, 256> single{};
    std::array<quint8, 256> leadIndex{};
    // Indexed by leadIndex * 256 + trail; 0 marks an unassigned pair (no pair decodes to NUL).
    std::array<char16_t, LeadCount * 256> pair{};
    // Per BMP code unit: a single byte (<= 0xFF), a lead/trail pair, or Unencodable.
    std::array<quint16, 0x10000> encode{};

    Tables()
    {
        leadIndex.fill(NotLead);
        encode.fill(Unencodable);
        int index = 0;
        for (int b = 0; b < 256; ++b) {
            if (isLeadByte(b))
                leadIndex[b] = quint8(index++);
        }
        // Single bytes are fixed here rather than taken from ICU: its converter swaps the
        // control codes 1A, 1C and 7F and does not decode 80, A0 and FD-FF as Windows does.
        for (int b = 0; b < 0x80; ++b)
            single[b] = char16_t(b);
        for (int b = 0xA1; b <= 0xDF; ++b)
            single[b] = char16_t(0xFF61 + b - 0xA1);
        single[0x80] = 0x0080;
        single[0xA0] = 0xF8F0;
        single[0xFD] = 0xF8F1;
        single[0xFE] = 0xF8F2;
        single[0xFF] = 0xF8F3;

        // The user-defined area maps linearly onto the private use area.
        for (int lead = 0xF0; lead <= 0xF9; ++lead) {
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                if (isTrailByte(trail))
                    setPair(lead, trail,
                            char16_t(0xE000 + (lead - 0xF0) * 188 + (trail - 0x40) -
                                     (trail > 0x7F ? 1 : 0)));
            }
        }
        loadPairsFromIcu();

        for (int b = 0; b < 256; ++b) {
            if (leadIndex[b] == NotLead)
                encode[single[b]] = quint16(b);
        }
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (!isLeadByte(lead))
                continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                const char16_t c = pair[leadIndex[lead] * 256 + trail];
                const quint16 code = quint16(lead << 8 | trail);
                if (c != 0 &&
                    (encode[c] == Unencodable || preference(code) < preference(encode[c])))
                    encode[c] = code;
            }
        }
        // What input methods type for these is the JIS form; Windows files hold the other one.
        encode[0x301C] = 0x8160; // WAVE DASH
        encode[0x2016] = 0x8161; // DOUBLE VERTICAL LINE
        encode[0x2212] = 0x817C; // MINUS SIGN
        encode[0x00A2] = 0x8191; // CENT SIGN
        encode[0x00A3] = 0x8192; // POUND SIGN
        encode[0x00AC] = 0x81CA; // NOT SIGN
        encode[0x2014] = 0x815C; // EM DASH
        encode[0x00A6] = 0xFA55; // BROKEN BAR
        for (int b = 0; b < 256; ++b)
            encode[EscapeBase + b] = quint16(b);
    }

    void setPair(int lead, int trail, char16_t c) { pair[leadIndex[lead] * 256 + trail] = c; }

    // Apart from the user-defined area, the double-byte pairs are exactly ICU's windows-31j.
    void loadPairsFromIcu()
    {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<UConverter, decltype(&ucnv_close)> cnv(ucnv_open("windows-31j", &status),
                                                               &ucnv_close);
        if (U_SUCCESS(status))
            ucnv_setToUCallBack(cnv.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                                &status);
        if (U_FAILURE(status)) {
            // Text still round-trips: every double-byte pair then decodes to escapes.
            qCritical("Cp932: ICU converter windows-31j unavailable: %s", u_errorName(status));
            return;
        }
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (!isLeadByte(lead) || (lead >= 0xF0 && lead <= 0xF9))
                continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                if (!isTrailByte(trail))
                    continue;
                const char in[2] = {char(lead), char(trail)};
                UChar out[2];
                const char *source = in;
                UChar *target = out;
                status = U_ZERO_ERROR;
                ucnv_toUnicode(cnv.get(), &target, out + 2, &source, in + 2, nullptr, true,
                               &status);
                if (U_SUCCESS(status) && target == out + 1 && source == in + 2)
                    setPair(lead, trail, out[0]);
                else
                    ucnv_resetToUnicode(cnv.get());
            }
        }
    }
};

const Tables &tables()
{
    static const Tables instance;
    return instance;
}

bool encodable(const Tables &t, char16_t c)
{
    return t.encode[c] != Unencodable;
}

} // namespace

QString decode(QByteArrayView bytes)
{
    const Tables &t = tables();
    // Each byte yields at most one UTF-16 unit.
    QString result(bytes.size(), Qt::Uninitialized);
    char16_t *const begin = reinterpret_cast<char16_t *>(result.data());
    char16_t *out = begin;
    const uchar *in = reinterpret_cast<const uchar *>(bytes.data());
    const uchar *const end = in + bytes.size();
    while (in < end) {
#if defined(__SSE2__)
        // Sixteen ASCII bytes become sixteen units at once.
        if (end - in >= 16) {
            const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in));
            if (_mm_movemask_epi8(chunk) == 0) {
                const __m128i zero = _mm_setzero_si128();
                _mm_storeu_si128(reinterpret_cast<__m128i *>(out), _mm_unpacklo_epi8(chunk, zero));
                _mm_storeu_si128(reinterpret_cast<__m128i *>(out + 8), _mm_unpackhi_epi8(chunk, zero));
                out += 16;
                in += 16;
                continue;
            }
        }
#endif
        const uchar b = *in;
        if (b < 0x80) {
            *out++ = b;
            ++in;
            continue;
        }
        const quint8 lead = t.leadIndex[b];
        if (lead == NotLead) {
            *out++ = t.single[b];
            ++in;
        } else if (in + 1 < end && isTrailByte(in[1])) {
            // An unassigned pair stays a pair: both bytes are kept as escapes together.
            const char16_t c = t.pair[lead * 256 + in[1]];
            if (c != 0) {
                *out++ = c;
            } else {
                *out++ = char16_t(EscapeBase + b);
                *out++ = char16_t(EscapeBase + in[1]);
            }
            in += 2;
        } else {
            // The next byte cannot be a trail byte, so it starts a character of its own.
            *out++ = char16_t(EscapeBase + b);
            ++in;
        }
    }
    result.truncate(out - begin);
    return result;
}

Encoded encode(QStringView text) { return encode(text, LineEnds::AsIs); }

Encoded encode(QStringView text, LineEnds lineEnds)
{
    const bool crlf = lineEnds == LineEnds::CrLf;
    const Tables &t = tables();
    Encoded result;
    // Each UTF-16 unit yields at most two bytes.
    result.bytes = QByteArray(text.size() * 2, Qt::Uninitialized);
    char *const begin = result.bytes.data();
    char *out = begin;
    std::unordered_set<char32_t> reported;
    const char16_t *in = text.utf16();
    const char16_t *const end = in + text.size();
    while (in < end) {
#if defined(__SSE2__)
        // Markup is mostly ASCII: eight units without a line end go out as eight bytes at once.
        if (end - in >= 8) {
            const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in));
            const __m128i high = _mm_and_si128(units, _mm_set1_epi16(qint16(0xFF80)));
            int plain = _mm_movemask_epi8(_mm_cmpeq_epi16(high, _mm_setzero_si128()));
            if (crlf)
                plain &= ~_mm_movemask_epi8(_mm_cmpeq_epi16(units, _mm_set1_epi16(u'\n')));
            if (plain == 0xFFFF) {
                _mm_storel_epi64(reinterpret_cast<__m128i *>(out), _mm_packus_epi16(units, units));
                out += 8;
                in += 8;
                continue;
            }
        }
#endif
        const char16_t c = *in;
        if (c < 0x80) {
            if (crlf && c == u'\n')
                *out++ = '\r';
            *out++ = char(c);
            ++in;
            continue;
        }
        const quint16 code = t.encode[c];
        if (code <= 0xFF) {
            *out++ = char(code);
            ++in;
        } else if (code != Unencodable) {
            *out++ = char(code >> 8);
            *out++ = char(code & 0xFF);
            ++in;
        } else {
            const qsizetype units =
                QChar::isHighSurrogate(c) && in + 1 < end && QChar::isLowSurrogate(in[1]) ? 2 : 1;
            const char32_t codePoint = units == 2 ? QChar::surrogateToUcs4(c, in[1]) : c;
            if (reported.insert(codePoint).second)
                result.unencodable.append(reinterpret_cast<const QChar *>(in), units);
            *out++ = '?';
            in += units;
        }
    }
    result.bytes.truncate(out - begin);
    return result;
}

bool canEncode(QStringView text)
{
    const Tables &t = tables();
    for (const QChar c : text) {
        if (!encodable(t, c.unicode()))
            return false;
    }
    return true;
}

QString withCharacterReferences(QStringView text)
{
    if (canEncode(text))
        return text.toString();
    const Tables &t = tables();
    QString result;
    result.reserve(text.size() + 16);
    const char16_t *in = text.utf16();
    const char16_t *const end = in + text.size();
    while (in < end) {
        const char16_t c = *in;
        if (encodable(t, c)) {
            result.append(QChar(c));
            ++in;
            continue;
        }
        char32_t codePoint = c;
        ++in;
        if (QChar::isHighSurrogate(c) && in < end && QChar::isLowSurrogate(*in))
            codePoint = QChar::surrogateToUcs4(c, *in++);
        result.append(QLatin1String("&#"));
        result.append(QString::number(quint32(codePoint)));
        result.append(QLatin1Char(';'));
    }
    return result;
}

} // namespace Cp932
