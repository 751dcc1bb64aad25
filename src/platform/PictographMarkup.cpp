#include "platform/PictographMarkup.h"

#include "platform/Pictographs.h"

#include <QRegularExpression>
#include <QSet>

namespace {

enum class RawBytes { Cp932, Utf8, None };

RawBytes rawBytesOf(const QByteArray &page)
{
    static const QRegularExpression declared(
        QStringLiteral(R"(<meta[^>]*charset\s*=\s*["']?\s*([A-Za-z0-9_\-]+))"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = declared.match(QString::fromLatin1(page.left(1024)));
    if (!m.hasMatch())
        return RawBytes::Cp932;
    const QString name = m.captured(1).toLower();
    static const QStringList shiftJis = {"shift_jis", "shift-jis", "sjis", "x-sjis",
                                         "windows-31j", "cp932", "ms932", "csshiftjis",
                                         "ms_kanji", "csWindows31J"};
    for (const QString &alias : shiftJis) {
        if (name == alias.toLower())
            return RawBytes::Cp932;
    }
    if (name == QLatin1String("utf-8") || name == QLatin1String("utf8"))
        return RawBytes::Utf8;
    return RawBytes::None;
}

bool isLead(uchar b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool isTrail(uchar b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

// The private-use character of the user-defined area's two bytes, as Windows decodes them.
uint cp932Pua(uchar lead, uchar trail)
{
    if (lead < 0xF0 || lead > 0xF9)
        return 0;
    return 0xE000 + (lead - 0xF0) * 188 + (trail - 0x40) - (trail > 0x7F ? 1 : 0);
}

// The class of a pictograph's box, "zp63647": short, since a page may hold thousands.
void appendClass(QByteArray &out, const Pictograph &p)
{
    char name[8] = {'z', 'p'};
    uint n = p.sjis;
    for (int d = 6; d >= 2; --d, n /= 10)
        name[d] = char('0' + n % 10);
    out.append(name, 7);
}

// A numeric character reference at page[at] ("&#"): its value and length, or 0 when it is none.
qsizetype readReference(const QByteArray &page, qsizetype at, uint *value)
{
    const qsizetype n = page.size();
    qsizetype i = at + 2;
    const bool hex = i < n && (page[i] == 'x' || page[i] == 'X');
    if (hex)
        ++i;
    const qsizetype digits = i;
    uint v = 0;
    for (; i < n; ++i) {
        const char c = page[i];
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            break;
        // Past the last character the number names none; it stays there, however long.
        if (v <= 0x10FFFF)
            v = v * (hex ? 16 : 10) + uint(d);
    }
    if (i == digits)
        return 0;
    // A browser takes the reference without its semicolon too.
    if (i < n && page[i] == ';')
        ++i;
    *value = v;
    return i - at;
}

// Elements whose content is not drawn as markup, or not drawn in the page at all.
qsizetype skippedElementEnd(const QByteArray &page, qsizetype at)
{
    static const char *const names[] = {"title", "textarea", "script", "style", "xmp", "plaintext"};
    const char first = at + 1 < page.size() ? char(page[at + 1] | 0x20) : 0;
    if (first != 't' && first != 's' && first != 'x' && first != 'p')
        return -1;
    for (const char *name : names) {
        const qsizetype len = qsizetype(qstrlen(name));
        if (at + 1 + len > page.size())
            continue;
        if (qstrnicmp(page.constData() + at + 1, name, len) != 0)
            continue;
        const char after = at + 1 + len < page.size() ? page[at + 1 + len] : '>';
        if (after != '>' && after != ' ' && after != '\t' && after != '\r' && after != '\n' &&
            after != '/')
            continue;
        const QByteArray close = "</" + QByteArray(name);
        for (qsizetype i = page.indexOf('<', at + 1); i >= 0; i = page.indexOf('<', i + 1)) {
            if (qstrnicmp(page.constData() + i, close.constData(), close.size()) == 0)
                return i;
        }
        return page.size();
    }
    return -1;
}

} // namespace

namespace PictographMarkup {

QByteArray mapForPreview(const QByteArray &page, const Pictures &pictures)
{
    const RawBytes raw = rawBytesOf(page);
    const qsizetype n = page.size();
    const char *const s = page.constData();
    QByteArray out;
    qsizetype copied = 0; // page[copied, i) is still to be copied to out
    auto replace = [&](qsizetype from, qsizetype to) {
        if (out.isEmpty())
            out.reserve(n + n / 8);
        out.append(s + copied, from - copied);
        copied = to;
    };
    QSet<char16_t> defined, missing;
    // The box of p in place of page[from, to), when p has a picture; the first box of each
    // pictograph comes after a style rule that carries the picture.
    auto draw = [&](const Pictograph &p, qsizetype from, qsizetype to) {
        if (!defined.contains(p.sjis)) {
            if (missing.contains(p.sjis))
                return;
            const QByteArray picture = pictures(p);
            if (picture.isEmpty()) {
                missing.insert(p.sjis);
                return;
            }
            replace(from, to);
            out += "<style>.";
            appendClass(out, p);
            out += "{display:inline-block;width:1em;height:1em;vertical-align:-0.125em;margin:0;"
                   "padding:0;border:0;background:url(data:image/gif;base64,";
            out += picture.toBase64();
            out += ") center/contain no-repeat}</style>";
            defined.insert(p.sjis);
        } else {
            replace(from, to);
        }
        out += "<span class=";
        appendClass(out, p);
        out += "></span>";
    };
    bool inTag = false;
    qsizetype i = 0;
    while (i < n) {
        const uchar b = uchar(s[i]);
        if (b == '<' && !inTag) {
            if (i + 3 < n && s[i + 1] == '!' && s[i + 2] == '-' && s[i + 3] == '-') {
                const qsizetype end = page.indexOf("-->", i + 4);
                i = end < 0 ? n : end + 3;
                continue;
            }
            const qsizetype skipTo = skippedElementEnd(page, i);
            if (skipTo >= 0) {
                i = skipTo;
                if (i < n)
                    ++i; // the closing tag is an ordinary tag
                inTag = i < n;
                continue;
            }
            inTag = true;
            ++i;
            continue;
        }
        if (b == '>' && inTag) {
            inTag = false;
            ++i;
            continue;
        }
        if (b == '&' && i + 1 < n && s[i + 1] == '#') {
            uint value = 0;
            const qsizetype len = readReference(page, i, &value);
            const Pictograph *p = len ? Pictographs::byReference(value) : nullptr;
            if (p && !inTag) {
                draw(*p, i, i + len);
            } else if (p && value == p->sjis) {
                replace(i, i + len);
                out += "&#" + QByteArray::number(uint(p->pua)) + ';';
            }
            i += len ? len : 2;
            continue;
        }
        if (raw == RawBytes::Cp932 && isLead(b) && i + 1 < n && isTrail(uchar(s[i + 1]))) {
            if (!inTag) {
                if (const Pictograph *p = Pictographs::byPua(cp932Pua(b, uchar(s[i + 1]))))
                    draw(*p, i, i + 2);
            }
            i += 2;
            continue;
        }
        if (raw == RawBytes::Utf8 && b == 0xEE && i + 2 < n && !inTag) {
            const uint cp = ((b & 0x0Fu) << 12) | ((uchar(s[i + 1]) & 0x3Fu) << 6) |
                            (uchar(s[i + 2]) & 0x3Fu);
            const bool sequence = (uchar(s[i + 1]) & 0xC0) == 0x80 && (uchar(s[i + 2]) & 0xC0) == 0x80;
            if (const Pictograph *p = sequence ? Pictographs::byPua(cp) : nullptr) {
                draw(*p, i, i + 3);
                i += 3;
                continue;
            }
        }
        ++i;
    }
    if (out.isEmpty() && copied == 0)
        return page;
    out.append(s + copied, n - copied);
    return out;
}

} // namespace PictographMarkup
