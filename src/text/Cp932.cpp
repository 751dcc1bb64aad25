#include "text/Cp932.h"

#include <QtGlobal>

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <unordered_set>
#include <utility>

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
                if (const char16_t c = userDefinedChar(uchar(lead), uchar(trail)))
                    setPair(lead, trail, c);
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

// The escape range U+F780 + byte.
constexpr bool isEscape(char16_t c)
{
    return c >= EscapeBase && c <= EscapeBase + 0xFF;
}

quint16 lineEndCode(LineEnds lineEnds)
{
    switch (lineEnds) {
    case LineEnds::CrLf:
        return 0x0D0A;
    case LineEnds::Cr:
        return 0x0D;
    default:
        return 0x0A;
    }
}

// True when the form still stands for the character: it decodes to it.
bool formFits(const Tables &t, char16_t c, quint16 form)
{
    if (c == u'\n')
        return form == 0x0A || form == 0x0D || form == 0x0D0A;
    if (isEscape(c))
        return form == c - EscapeBase;
    const int lead = form >> 8, trail = form & 0xFF;
    return isLeadByte(lead) && isTrailByte(trail) && t.pair[t.leadIndex[lead] * 256 + trail] == c;
}

// The decoder shared by decode and decodePage. A page has its line ends made LF and records
// the forms that encodePage would not write by itself; plain decoding keeps CR and records
// nothing.
template <bool AsPage> QString decodeText(QByteArrayView bytes, Forms *forms, LineEnds lineEnds)
{
    const Tables &t = tables();
    // Each byte yields at most one UTF-16 unit.
    QString result(bytes.size(), Qt::Uninitialized);
    char16_t *const begin = reinterpret_cast<char16_t *>(result.data());
    char16_t *out = begin;
    const uchar *in = reinterpret_cast<const uchar *>(bytes.data());
    const uchar *const end = in + bytes.size();
    [[maybe_unused]] const quint16 ownLineEnd = lineEndCode(lineEnds);
    // Only a page that has a LF other than its own line end needs to stop at LF.
    [[maybe_unused]] const bool stopAtLf = AsPage && lineEnds != LineEnds::Lf;
    const auto keep = [&](quint16 form) {
        if constexpr (AsPage)
            forms->append(Form{int(out - begin), form});
    };
    while (in < end) {
#if defined(__SSE2__)
        // Sixteen ASCII bytes become sixteen units at once; a page's line ends are left to the
        // byte-by-byte way, the bytes before them not.
        if (end - in >= 16) {
            const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in));
            if (_mm_movemask_epi8(chunk) == 0) {
                const __m128i zero = _mm_setzero_si128();
                _mm_storeu_si128(reinterpret_cast<__m128i *>(out), _mm_unpacklo_epi8(chunk, zero));
                _mm_storeu_si128(reinterpret_cast<__m128i *>(out + 8),
                                 _mm_unpackhi_epi8(chunk, zero));
                int plain = 16;
                if constexpr (AsPage) {
                    __m128i stops = _mm_cmpeq_epi8(chunk, _mm_set1_epi8('\r'));
                    if (stopAtLf)
                        stops = _mm_or_si128(stops, _mm_cmpeq_epi8(chunk, _mm_set1_epi8('\n')));
                    if (const int mask = _mm_movemask_epi8(stops))
                        plain = __builtin_ctz(unsigned(mask));
                }
                // Each byte yields one unit, so the units past a stop are written over later.
                out += plain;
                in += plain;
                if (plain == 16)
                    continue;
            }
        }
#endif
        const uchar b = *in;
        if (b < 0x80) {
            if constexpr (AsPage) {
                if (b == '\r' || b == '\n') {
                    quint16 form = 0x0A;
                    if (b == '\r') {
                        form = in + 1 < end && in[1] == '\n' ? 0x0D0A : 0x0D;
                        in += form == 0x0D0A ? 1 : 0;
                    }
                    if (form != ownLineEnd)
                        keep(form);
                    *out++ = u'\n';
                    ++in;
                    continue;
                }
            }
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
                const quint16 code = quint16(b << 8 | in[1]);
                if (t.encode[c] != code)
                    keep(code);
                *out++ = c;
            } else {
                keep(b);
                *out++ = char16_t(EscapeBase + b);
                keep(in[1]);
                *out++ = char16_t(EscapeBase + in[1]);
            }
            in += 2;
        } else {
            // The next byte cannot be a trail byte, so it starts a character of its own.
            keep(b);
            *out++ = char16_t(EscapeBase + b);
            ++in;
        }
    }
    result.truncate(out - begin);
    return result;
}

#if defined(__SSE2__)
// Writes eight UTF-16 units as eight bytes when all are ASCII (and none is LF unless LF is
// written as it is); false, writing nothing, otherwise.
bool copyEightAscii(const char16_t *in, char *&out, bool lfOnly)
{
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in));
    const __m128i high = _mm_and_si128(units, _mm_set1_epi16(qint16(0xFF80)));
    int plain = _mm_movemask_epi8(_mm_cmpeq_epi16(high, _mm_setzero_si128()));
    if (!lfOnly)
        plain &= ~_mm_movemask_epi8(_mm_cmpeq_epi16(units, _mm_set1_epi16(u'\n')));
    if (plain != 0xFFFF)
        return false;
    _mm_storel_epi64(reinterpret_cast<__m128i *>(out), _mm_packus_epi16(units, units));
    out += 8;
    return true;
}
#endif

// The line end a page mostly has; on a tie the one that comes first, and CR LF without any.
LineEnds ownLineEnds(QByteArrayView bytes)
{
    // An empty page may have no data at all, which memchr must not be given.
    if (bytes.isEmpty())
        return LineEnds::CrLf;
    const char *const data = bytes.data();
    const qsizetype size = bytes.size();
    qsizetype lf = 0, cr = 0, crlf = 0;
    qsizetype firstLf = -1, firstCr = -1;
    for (const char *p = data;
         (p = static_cast<const char *>(std::memchr(p, '\n', size_t(data + size - p)))); ++p) {
        if (firstLf < 0)
            firstLf = p - data;
        ++lf;
        if (p > data && p[-1] == '\r')
            ++crlf;
    }
    for (const char *p = data;
         (p = static_cast<const char *>(std::memchr(p, '\r', size_t(data + size - p)))); ++p) {
        if (firstCr < 0)
            firstCr = p - data;
        ++cr;
    }
    lf -= crlf;
    cr -= crlf;
    LineEnds first = LineEnds::CrLf;
    if (firstCr >= 0 && (firstLf < 0 || firstCr < firstLf))
        first = firstCr + 1 < size && data[firstCr + 1] == '\n' ? LineEnds::CrLf : LineEnds::Cr;
    else if (firstLf >= 0)
        first = LineEnds::Lf;
    const auto count = [&](LineEnds e) {
        return e == LineEnds::CrLf ? crlf : e == LineEnds::Cr ? cr : lf;
    };
    LineEnds best = first;
    for (const LineEnds e : {LineEnds::CrLf, LineEnds::Lf, LineEnds::Cr})
        if (count(e) > count(best))
            best = e;
    return best;
}

} // namespace

quint16 lineEndBytes(quint16 form, LineEnds lineEnds, bool afterLoneCr)
{
    const quint16 code =
        form == 0x0A || form == 0x0D || form == 0x0D0A ? form : lineEndCode(lineEnds);
    return afterLoneCr && code == 0x0A ? 0x0D0A : code;
}

QString decode(QByteArrayView bytes)
{
    return decodeText<false>(bytes, nullptr, LineEnds::AsIs);
}

Page decodePage(QByteArrayView bytes)
{
    Page page;
    page.lineEnds = ownLineEnds(bytes);
    page.text = decodeText<true>(bytes, &page.forms, page.lineEnds);
    return page;
}

Encoded encode(QStringView text)
{
    return encode(text, LineEnds::AsIs);
}

Encoded encode(QStringView text, LineEnds lineEnds)
{
    const bool lfOnly = lineEnds == LineEnds::AsIs;
    const quint16 lineEnd = lineEndCode(lineEnds);
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
        if (end - in >= 8 && copyEightAscii(in, out, lfOnly)) {
            in += 8;
            continue;
        }
#endif
        const char16_t c = *in;
        if (c < 0x80) {
            if (c == u'\n' && !lfOnly) {
                if (lineEnd > 0xFF)
                    *out++ = char(lineEnd >> 8);
                *out++ = char(lineEnd & 0xFF);
            } else {
                *out++ = char(c);
            }
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

int keptByte(QChar c)
{
    return isEscape(c.unicode()) ? int(c.unicode() - EscapeBase) : -1;
}

Encoded encodePage(QStringView text, const Forms &forms, LineEnds lineEnds)
{
    const bool lfOnly = lineEnds == LineEnds::Lf;
    const quint16 lineEnd = lineEndCode(lineEnds);
    const Tables &t = tables();
    Encoded result;
    // Each UTF-16 unit yields at most two bytes.
    result.bytes = QByteArray(text.size() * 2, Qt::Uninitialized);
    char *const begin = result.bytes.data();
    char *out = begin;
    std::unordered_set<char32_t> reported;
    const char16_t *const base = text.utf16();
    const qsizetype size = text.size();
    qsizetype i = 0;
    qsizetype f = 0;
    // A kept lead byte just written alone: a trail byte after it would pair with it.
    int lone = -1;
    // A line end just written as a lone CR: an LF after it would join it into one line end.
    bool afterCr = false;
    // The unit at i cannot be written as it stands: listed, and written as "?".
    const auto refuse = [&](Unwritable::Reason reason, uchar byte) {
        const char16_t c = base[i];
        const int units =
            QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(base[i + 1]) ? 2 : 1;
        result.unwritable.append(Unwritable{i, units, reason, byte});
        const char32_t codePoint = units == 2 ? QChar::surrogateToUcs4(c, base[i + 1]) : c;
        if (reported.insert(codePoint).second)
            result.unencodable.append(reinterpret_cast<const QChar *>(base + i), units);
        *out++ = '?';
        i += units;
        lone = -1;
        afterCr = false;
    };
    while (i < size) {
        // A form that no character starts at (inside a pair, or out of order) is passed over.
        while (f < forms.size() && forms.at(f).position < i)
            ++f;
        // A form past the end (a damaged record) bounds nothing: the text's end does.
        const qsizetype nextForm =
            f < forms.size() ? qMin<qsizetype>(forms.at(f).position, size) : size;
#if defined(__SSE2__)
        // Eight ASCII units without a line end and without a form go out as eight bytes.
        if (lone < 0 && !afterCr && nextForm - i >= 8 && copyEightAscii(base + i, out, lfOnly)) {
            i += 8;
            continue;
        }
#endif
        const char16_t c = base[i];
        quint16 code = Unencodable;
        bool kept = false;
        if (i == nextForm) {
            const quint16 form = forms.at(f++).bytes;
            if (formFits(t, c, form)) {
                code = form;
                kept = true;
            }
        }
        if (kept && isEscape(c)) {
            // A kept byte reads back as itself where the decoder takes it as it was read: as
            // the second byte of an unassigned pair after a lone lead byte, or as a lead byte
            // not followed by a trail byte.
            const uchar byte = uchar(code);
            if (lone >= 0 && isTrailByte(byte)) {
                if (t.pair[t.leadIndex[lone] * 256 + byte] != 0) {
                    refuse(Unwritable::Reason::JoinsLoneByte, uchar(lone));
                    continue;
                }
                lone = -1;
            } else if (isLeadByte(byte)) {
                lone = byte;
            } else {
                refuse(Unwritable::Reason::LoneByte, byte);
                continue;
            }
            *out++ = char(byte);
            afterCr = false;
            ++i;
            continue;
        }
        if (!kept) {
            if (c == u'\n') {
                code = lineEnd;
            } else if (isEscape(c)) {
                refuse(Unwritable::Reason::LoneByte, uchar(c - EscapeBase));
                continue;
            } else {
                code = t.encode[c];
                if (code == Unencodable) {
                    refuse(Unwritable::Reason::NotInCodePage, 0);
                    continue;
                }
            }
        }
        if (lone >= 0 && isTrailByte(code > 0xFF ? code >> 8 : code)) {
            refuse(Unwritable::Reason::JoinsLoneByte, uchar(lone));
            continue;
        }
        lone = -1;
        if (c == u'\n') {
            code = lineEndBytes(code, lineEnds, afterCr);
            afterCr = code == 0x0D;
        } else {
            afterCr = false;
        }
        if (code > 0xFF)
            *out++ = char(code >> 8);
        *out++ = char(code & 0xFF);
        ++i;
    }
    result.bytes.truncate(out - begin);
    return result;
}

namespace {

// The forms of text[from, from + size), counted from from.
Forms formsWithin(const Forms &forms, qsizetype from, qsizetype size)
{
    const auto byPosition = [](const Form &form, qsizetype at) { return form.position < at; };
    const auto first = std::lower_bound(forms.cbegin(), forms.cend(), from, byPosition);
    const auto last = std::lower_bound(first, forms.cend(), from + size, byPosition);
    Forms within;
    within.reserve(last - first);
    for (auto it = first; it != last; ++it)
        within.append(Form{int(it->position - from), it->bytes});
    return within;
}

// encodePage with the characters the code page lacks as references. A reference is ASCII that
// pairs with no byte before it, and a refused character pairs with none either, so the bytes
// around each stay as they were.
QByteArray encodeShown(QStringView text, const Forms &forms, LineEnds lineEnds)
{
    Encoded encoded = encodePage(text, forms, lineEnds);
    if (encoded.unencodable.isEmpty())
        return encoded.bytes;
    QString shown;
    Forms shownForms;
    qsizetype from = 0, f = 0;
    int shift = 0;
    const auto keepFormsBefore = [&](qsizetype end) {
        for (; f < forms.size() && forms.at(f).position < end; ++f)
            shownForms.append(Form{forms.at(f).position + shift, forms.at(f).bytes});
    };
    for (const Unwritable &u : std::as_const(encoded.unwritable)) {
        if (u.reason != Unwritable::Reason::NotInCodePage)
            continue;
        keepFormsBefore(u.position);
        shown.append(text.sliced(from, u.position - from));
        const char32_t codePoint =
            u.length == 2 ? QChar::surrogateToUcs4(text[u.position], text[u.position + 1])
                          : text[u.position].unicode();
        const QString reference =
            QLatin1String("&#") + QString::number(quint32(codePoint)) + QLatin1Char(';');
        shown.append(reference);
        from = u.position + u.length;
        while (f < forms.size() && forms.at(f).position < from)
            ++f;
        shift += int(reference.size()) - u.length;
    }
    keepFormsBefore(text.size());
    shown.append(text.sliced(from));
    return encodePage(shown, shownForms, lineEnds).bytes;
}

// True when the encoder is where it starts after c: nothing it wrote last can join what
// comes next (a kept lead byte, a line end written as a lone CR), nor is c half a pair.
bool endsClean(QChar c)
{
    return c != u'\n' && !isEscape(c.unicode()) && !c.isHighSurrogate();
}

} // namespace

void encodePageInPieces(const QList<QString> &pieces, const Forms &forms, LineEnds lineEnds,
                        const std::function<void(QByteArrayView part)> &write)
{
    // What the last piece left that may still join the next is written with it.
    QString carried;
    qsizetype start = 0; // the position of carried, or of the piece when nothing is carried
    for (qsizetype k = 0; k < pieces.size(); ++k) {
        QString joined;
        QStringView part = pieces.at(k);
        if (!carried.isEmpty()) {
            joined = carried + pieces.at(k);
            part = joined;
        }
        qsizetype cut = part.size();
        if (k + 1 < pieces.size()) {
            while (cut > 0 && !endsClean(part[cut - 1]))
                --cut;
        }
        if (cut > 0)
            write(encodeShown(part.first(cut), formsWithin(forms, start, cut), lineEnds));
        carried = part.sliced(cut).toString();
        start += cut;
    }
}

void followEdit(Forms &forms, qsizetype position, qsizetype removed, qsizetype added)
{
    // Read through the const side: a page whose forms all lie before the edit shares them on.
    const auto byPosition = [](const Form &form, qsizetype at) { return form.position < at; };
    const auto first = std::lower_bound(forms.cbegin(), forms.cend(), position, byPosition);
    if (first == forms.cend())
        return;
    const auto last = std::lower_bound(first, forms.cend(), position + removed, byPosition);
    const qsizetype from = first - forms.cbegin(), to = last - forms.cbegin();
    const int shift = int(added - removed);
    if (from == to && shift == 0)
        return;
    if (!forms.isDetached()) {
        // Shared with an undo image, as after every keystroke: one copy, moved as it is made.
        Forms moved(forms.size() - (to - from));
        Form *const out = std::copy(forms.cbegin(), forms.cbegin() + from, moved.data());
        std::transform(forms.cbegin() + to, forms.cend(), out, [shift](Form form) {
            form.position += shift;
            return form;
        });
        forms = std::move(moved);
        return;
    }
    forms.remove(from, to - from);
    if (shift != 0)
        for (auto it = forms.begin() + from; it != forms.end(); ++it)
            it->position += shift;
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
