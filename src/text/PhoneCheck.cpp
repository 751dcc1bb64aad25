#include "text/PhoneCheck.h"

#include "text/Pictographs.h"

#include <QFile>
#include <QStringList>
#include <QRegularExpression>
#include <array>
#include <cctype>

namespace PhoneCheck {
namespace {

constexpr std::array<QStringView, 12> Versions = {u"1.0", u"2.0", u"3.0",  u"3.0F",
                                                  u"4.0", u"4.0F", u"5.0", u"5.0F",
                                                  u"6.0", u"7.0", u"7.1",  u"7.2"};

// RFC 4180 as the tables are written: commas, double quotes around a field that has them.
QList<QStringList> readCsv(QByteArrayView bytes)
{
    const QString text = QString::fromUtf8(bytes);
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"')
                field += text[++i];
            else if (c == u'"')
                quoted = false;
            else
                field += c;
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            row << field;
            field.clear();
        } else if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            row << field;
            field.clear();
            rows << row;
            row.clear();
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || !row.isEmpty())
        rows << (row << field);
    return rows;
}

bool isFomaVersion(QStringView version)
{
    return version.endsWith(u'F') || versionRank(version) >= versionRank(u"6.0");
}

// au's pictographs as references name them: its own private-use codes. Code page 932's
// decoding of au's raw bytes (Pictographs) covers the first range only.
bool isAuCode(uint value)
{
    if ((value >= 0xE468 && value <= 0xE5DF) || (value >= 0xEA80 && value <= 0xEB8E))
        return true;
    const Pictograph *p = Pictographs::byReference(value);
    return p && p->carrier == Pictograph::Carrier::Kddi;
}

QString imageFormat(QStringView src)
{
    QStringView path = src;
    if (const qsizetype q = path.indexOf(u'?'); q >= 0)
        path = path.left(q);
    if (const qsizetype h = path.indexOf(u'#'); h >= 0)
        path = path.left(h);
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot < 0)
        return {};
    const QString ext = path.mid(dot + 1).toString().toLower();
    if (ext == u"gif")
        return QStringLiteral("GIF");
    if (ext == u"jpg" || ext == u"jpeg" || ext == u"jpe")
        return QStringLiteral("JPEG");
    if (ext == u"png")
        return QStringLiteral("PNG");
    if (ext == u"bmp")
        return QStringLiteral("BMP");
    return {};
}

bool isLocal(QStringView src)
{
    if (src.isEmpty() || src.startsWith(u"//"))
        return false;
    for (qsizetype i = 0; i < src.size(); ++i) {
        const QChar c = src[i];
        if (c == u':')
            return i == 1; // a drive letter, not a scheme
        if (!c.isLetterOrNumber() && c != u'+' && c != u'-' && c != u'.')
            return true;
    }
    return true;
}

struct Attribute
{
    QString name;
    QString value;
    int position = 0;
};

class Checker
{
public:
    Checker(const QString &text, const Target &target, const Tables &tables)
        : m_text(text), m_target(target), m_tables(tables)
    {
    }

    void run(const ImageBytes &imageBytes);
    qint64 imageTotal() const { return m_imageTotal; }
    QList<Finding> findings;

private:
    void tag(qsizetype &i);
    void feature(const QString &key, const QString &shown, int position);
    void image(const QString &src, int position, const ImageBytes &imageBytes);
    void reference(qsizetype &i);
    void add(Finding::Level level, int position, const QString &message);

    const QString &m_text;
    const Target &m_target;
    const Tables &m_tables;
    QList<Attribute> m_attributes;
    QHash<QString, bool> m_imagesCounted;
    qint64 m_imageTotal = 0;
    qsizetype m_linePos = 0;
    int m_line = 1;
    const ImageBytes *m_imageBytes = nullptr;
};

void Checker::add(Finding::Level level, int position, const QString &message)
{
    // Findings come in order of place, so lines are counted once over the text.
    for (; m_linePos < position; ++m_linePos) {
        const QChar c = m_text[m_linePos];
        if (c == u'\n' || (c == u'\r' && (m_linePos + 1 >= m_text.size() ||
                                           m_text[m_linePos + 1] != u'\n')))
            ++m_line;
    }
    findings.append({level, position, m_line, message});
}

void Checker::run(const ImageBytes &imageBytes)
{
    m_imageBytes = &imageBytes;
    const qsizetype n = m_text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = m_text[i];
        if (c == u'<') {
            tag(i);
        } else if (c == u'&') {
            reference(i);
        } else if (c.unicode() >= 0xE000 && c.unicode() < 0xE800) {
            const Pictograph *p = Pictographs::byPua(c.unicode());
            if (p && p->carrier == Pictograph::Carrier::Kddi)
                add(Finding::Level::Error, int(i),
                    QStringLiteral("au の絵文字（%1）: DoCoMo の機種では表示されません")
                        .arg(QString::number(p->sjis, 16).toUpper()));
        }
    }
}

void Checker::reference(qsizetype &i)
{
    // &#63072; &#xE481;
    const qsizetype n = m_text.size();
    if (i + 2 >= n || m_text[i + 1] != u'#')
        return;
    const bool hex = m_text[i + 2] == u'x' || m_text[i + 2] == u'X';
    qsizetype j = i + (hex ? 3 : 2);
    const qsizetype start = j;
    while (j < n && j - start < 8 &&
           (hex ? isxdigit(m_text[j].unicode()) && m_text[j].unicode() < 128
                : m_text[j].isDigit() && m_text[j].unicode() < 128))
        ++j;
    if (j == start)
        return;
    bool ok = false;
    const uint value = m_text.mid(start, j - start).toUInt(&ok, hex ? 16 : 10);
    if (ok && isAuCode(value)) {
        const qsizetype end = j < n && m_text[j] == u';' ? j + 1 : j;
        add(Finding::Level::Error, int(i),
            QStringLiteral("au の絵文字（%1）: DoCoMo の機種では表示されません")
                .arg(m_text.mid(i, end - i)));
    }
    i = j - 1;
}

void Checker::tag(qsizetype &i)
{
    const qsizetype n = m_text.size();
    const int start = int(i);
    qsizetype j = i + 1;
    if (j < n && m_text[j] == u'!') {
        // A comment runs to "-->", a declaration to ">".
        const bool comment = m_text.mid(j, 3) == u"!--";
        const qsizetype end = comment ? m_text.indexOf(u"-->", j + 3) : m_text.indexOf(u'>', j);
        i = end < 0 ? n - 1 : end + (comment ? 2 : 0);
        return;
    }
    if (j < n && (m_text[j] == u'/' || m_text[j] == u'?')) {
        const qsizetype end = m_text.indexOf(u'>', j);
        i = end < 0 ? n - 1 : end;
        return;
    }
    auto isNameChar = [](QChar c) { return c.unicode() < 128 && (c.isLetterOrNumber()); };
    if (j >= n || m_text[j].unicode() >= 128 || !m_text[j].isLetter())
        return; // a lone "<" is text
    while (j < n && isNameChar(m_text[j]))
        ++j;
    const QString element = m_text.mid(i + 1, j - i - 1).toLower();

    // Attributes: name, name=value, name="value", name='value', up to ">".
    m_attributes.clear();
    while (j < n && m_text[j] != u'>') {
        const QChar c = m_text[j];
        if (c.isSpace() || c == u'/') {
            ++j;
            continue;
        }
        if (c == u'<')
            break; // an unclosed tag; the next one starts here
        Attribute a;
        a.position = int(j);
        const qsizetype nameStart = j;
        while (j < n && !m_text[j].isSpace() && m_text[j] != u'=' && m_text[j] != u'>' &&
               m_text[j] != u'<')
            ++j;
        a.name = m_text.mid(nameStart, j - nameStart).toLower();
        qsizetype k = j;
        while (k < n && m_text[k].isSpace())
            ++k;
        if (k < n && m_text[k] == u'=') {
            ++k;
            while (k < n && m_text[k].isSpace())
                ++k;
            if (k < n && (m_text[k] == u'"' || m_text[k] == u'\'')) {
                const QChar quote = m_text[k];
                qsizetype end = m_text.indexOf(quote, k + 1);
                if (end < 0)
                    end = n;
                a.value = m_text.mid(k + 1, end - k - 1);
                j = std::min(end + 1, n);
            } else {
                const qsizetype valueStart = k;
                while (k < n && !m_text[k].isSpace() && m_text[k] != u'>' && m_text[k] != u'<')
                    ++k;
                a.value = m_text.mid(valueStart, k - valueStart);
                j = k;
            }
        }
        if (!a.name.isEmpty())
            m_attributes << a;
    }
    i = j < n && m_text[j] == u'<' ? j - 1 : std::min(j, n - 1);

    if (!m_tables.features.contains(element)) {
        add(Finding::Level::Error, start,
            QStringLiteral("<%1>: どの版の iモード HTML にもない要素です").arg(element));
        return;
    }
    feature(element, u'<' + element + u'>', start);
    for (const Attribute &a : std::as_const(m_attributes)) {
        if (a.name == u"localsrc") {
            add(Finding::Level::Error, a.position,
                QStringLiteral("<%1 localsrc>: au の絵文字です。DoCoMo の機種では表示されません")
                    .arg(element));
            continue;
        }
        const QString key = element + u'@' + a.name;
        if (!m_tables.features.contains(key))
            continue; // the tables hold what is known to be accepted, not every attribute
        feature(key, QStringLiteral("<%1 %2>").arg(element, a.name), a.position);
        const QString value = a.value.trimmed();
        const QString valueKey = key + u'=' + value.toLower();
        if (!value.isEmpty() && m_tables.features.contains(valueKey))
            feature(valueKey, QStringLiteral("<%1 %2=%3>").arg(element, a.name, value),
                    a.position);
        if (a.name == u"href" || a.name == u"action") {
            const qsizetype colon = value.indexOf(u':');
            if (colon > 0) {
                const QString scheme = value.left(colon + 1).toLower();
                if (m_tables.features.contains(scheme))
                    feature(scheme, scheme, a.position);
                const QString query = scheme + QStringLiteral("?to|subject|body");
                if (value.indexOf(u'?', colon) > 0 && m_tables.features.contains(query))
                    feature(query, scheme + u'?', a.position);
            }
        }
        if (element == u"img" && a.name == u"src")
            image(value, a.position, *m_imageBytes);
    }
}

void Checker::feature(const QString &key, const QString &shown, int position)
{
    const Feature &f = m_tables.features[key];
    if (accepts(f.first, m_target.version))
        return;
    QString message = QStringLiteral("%1: iモード HTML %2（%3 など）から")
                          .arg(shown, f.first, m_tables.exampleOf(f.first));
    if (f.first.endsWith(u'F'))
        message += QStringLiteral("、FOMA の機種のみ");
    if (f.inferred)
        message += QStringLiteral("（版は推定）");
    else if (f.singleSource)
        message += QStringLiteral("（出典は一つだけ）");
    add(f.inferred || f.singleSource ? Finding::Level::Caution : Finding::Level::Error, position,
        message);
}

void Checker::image(const QString &src, int position, const ImageBytes &imageBytes)
{
    const QString format = imageFormat(src);
    if (!format.isEmpty()) {
        const ImageSupport shown = showsImages(m_target, format);
        if (shown == ImageSupport::No)
            add(Finding::Level::Error, position,
                QStringLiteral("%1: 対象機種は %2 の画像を表示できません").arg(src, format));
        else if (shown == ImageSupport::Uncertain)
            add(Finding::Level::Caution, position,
                QStringLiteral("%1: %2 の画像は対象機種の一部でしか表示できない（または確かでない）")
                    .arg(src, format));
    }
    if (imageBytes && isLocal(src) && !m_imagesCounted.contains(src)) {
        m_imagesCounted.insert(src, true);
        const qint64 bytes = imageBytes(src);
        if (bytes > 0)
            m_imageTotal += bytes;
    }
}

QString thousands(qint64 value)
{
    QString digits = QString::number(value);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, u',');
    return digits;
}

} // namespace

int versionRank(QStringView version)
{
    for (size_t i = 0; i < Versions.size(); ++i)
        if (Versions[i] == version)
            return int(i);
    return -1;
}

bool accepts(QStringView first, QStringView target)
{
    const int f = versionRank(first), t = versionRank(target);
    if (f < 0 || t < 0)
        return true; // an unknown version is nothing to report
    return f <= t && (!first.endsWith(u'F') || isFomaVersion(target));
}

QString Target::label() const
{
    if (generation.startsWith(u"all "))
        return QStringLiteral("全機種");
    QString name = generation.section(QStringLiteral(" ("), 0, 0).trimmed();
    name.replace(QLatin1String(" generation"), QLatin1String(" 世代"));
    name.replace(QLatin1String("i-mode browser"), QStringLiteral("iモードブラウザ"));
    name.replace(QLatin1String(" handsets"), QStringLiteral(" の機種"));
    return name;
}

bool Target::isFoma() const { return isFomaVersion(version); }

ImageSupport showsImages(const Target &target, const QString &format)
{
    // "GIF; JPEG only on some models (e.g. N503i)", "GIF (JPEG not confirmed)": each clause
    // that names the format says whether it is sure.
    static const QRegularExpression clauses(QStringLiteral("[,;()]"));
    ImageSupport best = ImageSupport::No;
    for (const QString &clause : target.imageFormats.split(clauses)) {
        if (!clause.contains(format, Qt::CaseInsensitive))
            continue;
        const QString c = clause.toLower();
        const bool unsure = c.contains(u"some") || c.contains(u"not confirmed") ||
                            c.contains(u"likely") || c.contains(u"assumed") ||
                            c.contains(u"one source");
        best = std::max(best, unsure ? ImageSupport::Uncertain : ImageSupport::Yes);
    }
    return best;
}

Tables Tables::parse(QByteArrayView htmlCsv, QByteArrayView limitsCsv)
{
    Tables t;
    const QList<QStringList> html = readCsv(htmlCsv);
    if (html.isEmpty() ||
        html[0] != QStringList{"kind", "name", "first_version", "last_version", "note", "sources"})
        t.error = QStringLiteral("imode-html.csv: unexpected header");
    for (qsizetype r = 1; r < html.size() && t.error.isEmpty(); ++r) {
        const QStringList &row = html[r];
        if (row.size() != 6 || versionRank(row[2]) < 0) {
            t.error = QStringLiteral("imode-html.csv line %1: bad row").arg(r + 1);
            break;
        }
        Feature f;
        f.first = row[2];
        const QString note = row[4].toLower();
        f.inferred = note.contains(u"inferred") || note.contains(u"assumed");
        f.singleSource = row[5].split(u';', Qt::SkipEmptyParts).size() == 1;
        t.features.insert(row[1], f);
    }
    const QList<QStringList> limits = readCsv(limitsCsv);
    if (t.error.isEmpty() && (limits.isEmpty() || limits[0].value(0) != u"generation" ||
                              limits[0].size() != 10))
        t.error = QStringLiteral("imode-limits.csv: unexpected header");
    for (qsizetype r = 1; r < limits.size() && t.error.isEmpty(); ++r) {
        const QStringList &row = limits[r];
        bool ok = false;
        Target target{row.value(0), row.value(1), row.value(3).toInt(&ok), row.value(8)};
        if (row.size() != 10 || !ok || versionRank(target.version) < 0) {
            t.error = QStringLiteral("imode-limits.csv line %1: bad row").arg(r + 1);
            break;
        }
        t.targets << target;
    }
    if (t.targets.isEmpty())
        t.targets << Target{QStringLiteral("all i-mode handsets"), QStringLiteral("1.0"), 5,
                            QStringLiteral("GIF")};
    return t;
}

const Tables &Tables::program()
{
    static const Tables tables = [] {
        QFile html(QStringLiteral(":/imode/imode-html.csv"));
        QFile limits(QStringLiteral(":/imode/imode-limits.csv"));
        html.open(QIODevice::ReadOnly);
        limits.open(QIODevice::ReadOnly);
        return parse(html.readAll(), limits.readAll());
    }();
    return tables;
}

const Target &Tables::target(const QString &generation) const
{
    for (const Target &t : targets)
        if (t.generation == generation)
            return t;
    return targets.first();
}

QString Tables::exampleOf(const QString &version) const
{
    for (const Target &t : targets)
        if (t.version == version && !t.generation.startsWith(u"all "))
            return t.label();
    return version;
}

QList<Finding> check(const QString &text, qint64 pageBytes, const Target &target,
                     const ImageBytes &imageBytes, const Tables &tables)
{
    Checker checker(text, target, tables);
    checker.run(imageBytes);
    QList<Finding> findings = std::move(checker.findings);
    const qint64 limit = qint64(target.pageLimitKb) * 1024;
    const qint64 total = pageBytes + checker.imageTotal();
    if (total > limit) {
        QString message = QStringLiteral("ページが %1 KB で、対象機種の上限 %2 KB を超えています")
                              .arg(QString::number(double(total) / 1024, 'f', 2))
                              .arg(target.pageLimitKb);
        message += checker.imageTotal() > 0
                       ? QStringLiteral("（本文 %1 バイト＋画像 %2 バイト）")
                             .arg(thousands(pageBytes), thousands(checker.imageTotal()))
                       : QStringLiteral("（%1 バイト）").arg(thousands(pageBytes));
        findings.prepend({Finding::Level::Error, 0, 1, message});
    }
    return findings;
}

} // namespace PhoneCheck
