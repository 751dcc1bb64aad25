#include "text/PictographMarkup.h"

#include "text/Cp932.h"
#include "text/MarkupScan.h"
#include "text/Pictographs.h"

#include <QRegularExpression>
#include <QSet>

namespace {

// The class of a pictograph's box, "zp63647": short, since a page may hold thousands.
void appendClass(QByteArray &out, const Pictograph &p)
{
    char name[8] = {'z', 'p'};
    uint n = p.sjis;
    for (int d = 6; d >= 2; --d, n /= 10)
        name[d] = char('0' + n % 10);
    out.append(name, 7);
}

} // namespace

namespace PictographMarkup {

QByteArray previewCharset(const QByteArray &page)
{
    const QRegularExpressionMatch m =
        MarkupScan::charsetDeclaration().match(QString::fromLatin1(page.left(1024)));
    const bool utf8 =
        m.hasMatch() && MarkupScan::charsetOf(m.capturedView(1)) == MarkupScan::Charset::Utf8;
    return utf8 && QByteArrayView(page).isValidUtf8() ? QByteArrayLiteral("UTF-8")
                                                      : QByteArrayLiteral("Shift_JIS");
}

QByteArray mapForPreview(const QByteArray &page, const Pictures &pictures)
{
    const bool utf8 = previewCharset(page) == "UTF-8";
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
            if (const MarkupScan::LocalSrc img = MarkupScan::localSrcImage(s, n, i); img.number) {
                if (const Pictograph *p = Pictographs::byNumber(img.number)) {
                    draw(*p, i, img.end);
                    if (copied == img.end) {
                        i = img.end;
                        continue;
                    }
                }
            }
            const qsizetype skipTo = MarkupScan::skippedElementEnd(s, n, i);
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
            const qsizetype len = MarkupScan::readReference(s, n, i, &value);
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
        if (!utf8 && Cp932::isLeadByte(b) && i + 1 < n && Cp932::isTrailByte(uchar(s[i + 1]))) {
            if (!inTag) {
                if (const Pictograph *p =
                        Pictographs::byPua(Cp932::userDefinedChar(b, uchar(s[i + 1]))))
                    draw(*p, i, i + 2);
            }
            i += 2;
            continue;
        }
        if (utf8 && b == 0xEE && i + 2 < n && !inTag) {
            const uint cp =
                ((b & 0x0Fu) << 12) | ((uchar(s[i + 1]) & 0x3Fu) << 6) | (uchar(s[i + 2]) & 0x3Fu);
            const bool sequence =
                (uchar(s[i + 1]) & 0xC0) == 0x80 && (uchar(s[i + 2]) & 0xC0) == 0x80;
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
