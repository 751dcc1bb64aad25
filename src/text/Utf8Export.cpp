#include "text/Utf8Export.h"

#include "text/MarkupScan.h"
#include "text/Pictographs.h"

#include <QRegularExpression>

namespace {

using MarkupScan::startsTagName;

const QString Utf8Name = QStringLiteral("UTF-8");

// The end of the declarations a page may open with (an XML declaration, a document type),
// before which no element may stand: a meta tag put in front of a document type would send
// the browser into its quirks.
qsizetype prologEnd(const QString &text)
{
    const char16_t *s = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype n = text.size();
    qsizetype end = 0;
    for (qsizetype i = 0; i < n;) {
        const char16_t c = s[i];
        if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r') {
            ++i;
            continue;
        }
        if (c != u'<' || i + 1 >= n || (s[i + 1] != u'?' && s[i + 1] != u'!'))
            break;
        if (s[i + 1] == u'!' && !startsTagName(s, n, i + 2, "doctype"))
            break;
        const qsizetype close = text.indexOf(u'>', i);
        if (close < 0)
            break;
        i = end = close + 1;
    }
    return end;
}

// Where a name of a charset other than UTF-8 stands, to be rewritten.
struct Span
{
    qsizetype from = 0, to = 0;
};

class Converter
{
public:
    Converter(const QString &text, const Utf8Export::Options &options)
        : m_text(text), s(reinterpret_cast<const char16_t *>(text.constData())), n(text.size()),
          m_options(options)
    {
    }

    Utf8Export::Copy run();

private:
    void pictograph(const Pictograph &p, bool markup);
    void lineEnd(qsizetype at);
    void tagStart(qsizetype at);

    const QString &m_text;
    const char16_t *const s;
    const qsizetype n;
    const Utf8Export::Options &m_options;
    Utf8Export::Report m_report;
    QString m_out;
    qsizetype m_form = 0; // the next form that may belong to a line end
    bool m_afterCr = false;
    int m_line = 1;
    bool m_declared = false;
    bool m_inHead = false;    // inside the first head start tag
    qsizetype m_headEnd = -1; // in m_out: just after the first head start tag
    QList<Span> m_rewrites;   // sorted by position
};

void Converter::pictograph(const Pictograph &p, bool markup)
{
    if (!p.emoji.isEmpty()) {
        m_out += p.emoji;
        ++m_report.emoji;
        return;
    }
    const QString name = !p.nameJa.isEmpty() ? p.nameJa : p.nameEn;
    if (markup) {
        m_out += QStringLiteral("<img src=\"%1%2/%3.gif\" alt=\"%4\">")
                     .arg(m_options.imageFolderPrefix, QLatin1String(Utf8Export::ImageFolder))
                     .arg(uint(p.sjis))
                     .arg(name.toHtmlEscaped());
        ++m_report.images;
        if (!m_report.pictures.contains(&p))
            m_report.pictures << &p;
        return;
    }
    // A picture cannot stand in an attribute or a title; its name says what was there, and a
    // nameless one leaves the mark that stands for a character that cannot be shown.
    m_out += name.isEmpty() ? QStringLiteral("〓") : name.toHtmlEscaped();
    ++m_report.names;
}

void Converter::lineEnd(qsizetype at)
{
    const Cp932::Forms &forms = m_options.forms;
    while (m_form < forms.size() && forms.at(m_form).position < at)
        ++m_form;
    const quint16 form =
        m_form < forms.size() && forms.at(m_form).position == at ? forms.at(m_form).bytes : 0;
    const quint16 code = Cp932::lineEndBytes(form, m_options.lineEnds, m_afterCr);
    if (code & 0xFF00)
        m_out += u'\r';
    m_out += code == 0x0D ? u'\r' : u'\n';
    ++m_line;
}

void Converter::tagStart(qsizetype at)
{
    if (startsTagName(s, n, at + 1, "meta")) {
        const QRegularExpressionMatch m =
            MarkupScan::charsetDeclaration().match(m_text, at, QRegularExpression::NormalMatch,
                                                   QRegularExpression::AnchorAtOffsetMatchOption);
        if (m.hasMatch()) {
            m_declared = true;
            if (MarkupScan::charsetOf(m.capturedView(1)) != MarkupScan::Charset::Utf8)
                m_rewrites << Span{m.capturedStart(1), m.capturedEnd(1)};
        }
    } else if (m_headEnd < 0 && !m_inHead && startsTagName(s, n, at + 1, "head")) {
        m_inHead = true;
    }
}

Utf8Export::Copy Converter::run()
{
    m_out.reserve(n + n / 8);
    // An XML declaration's encoding is rewritten too, for the pages written as XHTML.
    const qsizetype prolog = prologEnd(m_text);
    static const QRegularExpression xmlEncoding(
        QStringLiteral(R"(^\s*<\?xml[^>]*?encoding\s*=\s*["']([A-Za-z0-9_\-]+))"),
        QRegularExpression::CaseInsensitiveOption);
    if (const QRegularExpressionMatch m = xmlEncoding.match(m_text);
        m.hasMatch() && m.capturedEnd(1) <= prolog &&
        MarkupScan::charsetOf(m.capturedView(1)) != MarkupScan::Charset::Utf8) {
        m_rewrites << Span{m.capturedStart(1), m.capturedEnd(1)};
    }
    qsizetype prologOut = 0;
    qsizetype rewrite = 0;
    bool inTag = false;
    qsizetype plainUntil = 0; // before it, a comment or the content of a title, script...
    qsizetype i = 0;
    while (i < n) {
        if (i == prolog)
            prologOut = m_out.size();
        if (rewrite < m_rewrites.size() && i == m_rewrites.at(rewrite).from) {
            m_out += Utf8Name;
            ++m_report.charsetsChanged;
            i = m_rewrites.at(rewrite++).to;
            m_afterCr = false;
            continue;
        }
        const char16_t c = s[i];
        if (c == u'\n') {
            lineEnd(i);
            m_afterCr = m_out.endsWith(u'\r');
            ++i;
            continue;
        }
        m_afterCr = false;
        const bool markup = !inTag && i >= plainUntil;
        const Pictograph *p = Pictographs::byPua(c);
        // Kept invalid bytes, and any private-use character that is no pictograph (a lone A0,
        // a user-defined character), mean nothing outside the phone they were made for.
        if (Cp932::keptByte(QChar(c)) >= 0 || (!p && c >= 0xE000 && c <= 0xF8FF)) {
            m_out += QChar(QChar::ReplacementCharacter);
            ++m_report.invalidBytes;
            if (m_report.invalidLines.isEmpty() || m_report.invalidLines.constLast() != m_line)
                m_report.invalidLines << m_line;
            ++i;
            continue;
        }
        if (p) {
            pictograph(*p, markup);
            ++i;
            continue;
        }
        if (c == u'&' && i + 1 < n && s[i + 1] == u'#') {
            uint value = 0;
            const qsizetype len = MarkupScan::readReference(s, n, i, &value);
            if (const Pictograph *p = len ? Pictographs::byReference(value) : nullptr) {
                pictograph(*p, markup);
                i += len;
                continue;
            }
            // Any other reference stays as written.
            const qsizetype keep = len ? len : 2;
            m_out.append(QStringView(s + i, keep));
            i += keep;
            continue;
        }
        if (i >= plainUntil) {
            if (c == u'<' && !inTag) {
                const MarkupScan::LocalSrc img = MarkupScan::localSrcImage(s, n, i);
                if (const Pictograph *p =
                        img.number ? Pictographs::byNumber(img.number) : nullptr) {
                    // The whole image is the pictograph; its other attributes go with it.
                    pictograph(*p, true);
                    m_line += int(QStringView(s + i, img.end - i).count(u'\n'));
                    i = img.end;
                    continue;
                }
                if (i + 3 < n && s[i + 1] == u'!' && s[i + 2] == u'-' && s[i + 3] == u'-') {
                    const qsizetype end = m_text.indexOf(QLatin1String("-->"), i + 4);
                    plainUntil = end < 0 ? n : end + 3;
                } else if (const qsizetype end = MarkupScan::skippedElementEnd(s, n, i); end >= 0) {
                    // The start tag goes with the content: neither takes a picture.
                    plainUntil = end;
                } else {
                    inTag = true;
                    tagStart(i);
                }
            } else if (c == u'>' && inTag) {
                inTag = false;
                if (m_inHead) {
                    m_inHead = false;
                    m_headEnd = m_out.size() + 1;
                }
            }
        }
        m_out += QChar(c);
        ++i;
    }
    if (prolog == n)
        prologOut = m_out.size();
    if (!m_declared) {
        m_out.insert(m_headEnd >= 0 ? m_headEnd : prologOut,
                     QStringLiteral("<meta charset=\"UTF-8\">"));
        m_report.charsetInserted = true;
    }
    return {m_out.toUtf8(), m_report};
}

} // namespace

namespace Utf8Export {

Copy convert(const QString &text, const Options &options)
{
    return Converter(text, options).run();
}

QString proposedName(const QString &pagePath)
{
    const qsizetype slash = pagePath.lastIndexOf(u'/');
    const qsizetype dot = pagePath.lastIndexOf(u'.');
    // A name that only starts with a dot has no extension.
    if (dot <= slash + 1)
        return pagePath + QStringLiteral("-utf8");
    return pagePath.left(dot) + QStringLiteral("-utf8") + pagePath.mid(dot);
}

QString pictographCounts(int emoji, int images, qsizetype pictures, int names)
{
    QString text = QStringLiteral("標準の絵文字にした絵文字: %1\r\n").arg(emoji);
    text += QStringLiteral("画像にした絵文字: %1").arg(images);
    if (pictures > 0)
        text += QStringLiteral("（%1 個の画像を %2 フォルダにコピー）")
                    .arg(pictures)
                    .arg(QLatin1String(ImageFolder));
    text += QStringLiteral("\r\n");
    if (names > 0)
        text += QStringLiteral("名前にした絵文字（タグの中、タイトルなど）: %1\r\n").arg(names);
    return text;
}

} // namespace Utf8Export
