#include "text/PhoneCheck.h"

#include "text/Pictographs.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <array>
#include <cctype>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace PhoneCheck {
namespace {

constexpr std::array<QStringView, 12> Versions = {u"1.0", u"2.0",  u"3.0", u"3.0F", u"4.0", u"4.0F",
                                                  u"5.0", u"5.0F", u"6.0", u"7.0",  u"7.1", u"7.2"};

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

// au's pictographs as references name them: its own private-use codes or their Shift-JIS codes.
bool isAuCode(uint value)
{
    const Pictograph *p = Pictographs::byReference(value);
    return p && p->carrier == Pictograph::Carrier::Kddi;
}

// The Shift-JIS code of an au pictograph held as raw bytes; 0 for any other character.
uint auRawCode(char16_t c)
{
    const Pictograph *p = Pictographs::byPua(c);
    return p && p->carrier == Pictograph::Carrier::Kddi ? p->sjis : 0;
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

// Keys looked up by views, without making strings of them: a 1 MB page has some 50,000 tags.
struct ViewHash
{
    using is_transparent = void;
    size_t operator()(std::u16string_view v) const noexcept
    {
        size_t h = 14695981039346656037ull; // FNV-1a
        for (char16_t c : v)
            h = (h ^ c) * 1099511628211ull;
        return h;
    }
};
template <typename T>
using ViewMap = std::unordered_map<std::u16string, T, ViewHash, std::equal_to<>>;

std::u16string_view sv(QStringView v)
{
    return {v.utf16(), size_t(v.size())};
}

// Views into the text checked, which outlives the check.
struct Attribute
{
    QStringView name;
    QStringView value;
    int position = 0;
};

void appendLower(QString &to, QStringView from)
{
    for (QChar c : from)
        to += c.unicode() >= u'A' && c.unicode() <= u'Z' ? QChar(c.unicode() + 32) : c;
}

bool isNameChar(QChar c)
{
    return c.unicode() < 128 && c.isLetterOrNumber();
}

class Checker
{
public:
    Checker(const QString &text, const Target &target, const Tables &tables)
        : m_text(text), m_target(target), m_tables(tables)
    {
        for (auto f = tables.features.cbegin(); f != tables.features.cend(); ++f)
            m_features.emplace(std::u16string(sv(f.key())), &f.value());
    }

    void run(const ImageBytes &imageBytes);
    qint64 imageTotal() const { return m_imageTotal; }
    QList<Finding> findings;

private:
    void tag(qsizetype &i);
    // What the tag just read finds: its element and m_attributes.
    void evaluate(int start, QStringView element);
    // Reports the row of the key m_key where the target does not accept it; shown() names it
    // in the message, made once per key.
    template <typename Shown> void feature(const Feature &f, int position, Shown shown);
    void image(QStringView src, int position);
    void reference(qsizetype &i);
    void add(Finding::Level level, int position, const QString &message);

    const QString &m_text;
    const Target &m_target;
    const Tables &m_tables;
    const ImageBytes *m_imageBytes = nullptr;
    QList<Attribute> m_attributes;
    // The key being looked up, reused so that a tag costs no allocation.
    QString m_key;
    QString m_name; // the element's name, lower case
    ViewMap<const Feature *> m_features;
    // Pages repeat their markup: each key's finding is worded once.
    ViewMap<std::pair<Finding::Level, QString>> m_worded;
    ViewMap<QList<Finding>> m_tags; // positions from the tag's start
    QHash<QString, ImageSupport> m_support;
    std::unordered_set<std::u16string, ViewHash, std::equal_to<>> m_imagesCounted;
    qint64 m_imageTotal = 0;
    qsizetype m_linePos = 0;
    int m_line = 1;
};

void Checker::add(Finding::Level level, int position, const QString &message)
{
    // Findings come in order of place, so lines are counted once over the text.
    const QChar *text = m_text.constData();
    for (; m_linePos < position; ++m_linePos) {
        const char16_t c = text[m_linePos].unicode();
        if (c == u'\n' ||
            (c == u'\r' && (m_linePos + 1 >= m_text.size() || text[m_linePos + 1] != u'\n')))
            ++m_line;
    }
    findings.append({level, position, m_line, message});
}

void Checker::run(const ImageBytes &imageBytes)
{
    m_imageBytes = &imageBytes;
    const qsizetype n = m_text.size();
    const QChar *text = m_text.constData();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'<') {
            tag(i);
        } else if (c == u'&') {
            reference(i);
        } else if (const uint sjis = auRawCode(c)) {
            add(Finding::Level::Error, int(i),
                QStringLiteral("au の絵文字（%1）: DoCoMo の機種では表示されません")
                    .arg(QString::number(sjis, 16).toUpper()));
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
    while (j < n && j - start < 8 && m_text[j].unicode() < 128 &&
           (hex ? isxdigit(m_text[j].unicode()) : isdigit(m_text[j].unicode())))
        ++j;
    if (j == start)
        return;
    bool ok = false;
    const uint value = QStringView(m_text).mid(start, j - start).toUInt(&ok, hex ? 16 : 10);
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
    const QStringView text(m_text);
    const int start = int(i);
    qsizetype j = i + 1;
    if (j < n && text[j] == u'!') {
        // A comment runs to "-->", a declaration to ">".
        const bool comment = text.mid(j, 3) == u"!--";
        const qsizetype end = comment ? text.indexOf(u"-->", j + 3) : text.indexOf(u'>', j);
        i = end < 0 ? n - 1 : end + (comment ? 2 : 0);
        return;
    }
    if (j < n && (text[j] == u'/' || text[j] == u'?')) {
        const qsizetype end = text.indexOf(u'>', j);
        i = end < 0 ? n - 1 : end;
        return;
    }
    if (j >= n || text[j].unicode() >= 128 || !text[j].isLetter())
        return; // a lone "<" is text
    while (j < n && isNameChar(text[j]))
        ++j;
    const QStringView element = text.mid(i + 1, j - i - 1);

    // Attributes: name, name=value, name="value", name='value', up to ">".
    m_attributes.clear();
    while (j < n && text[j] != u'>') {
        const QChar c = text[j];
        if (c.isSpace() || c == u'/') {
            ++j;
            continue;
        }
        if (c == u'<')
            break; // an unclosed tag; the next one starts here
        Attribute a;
        a.position = int(j);
        const qsizetype nameStart = j;
        while (j < n && !text[j].isSpace() && text[j] != u'=' && text[j] != u'>' && text[j] != u'<')
            ++j;
        a.name = text.mid(nameStart, j - nameStart);
        qsizetype k = j;
        while (k < n && text[k].isSpace())
            ++k;
        if (k < n && text[k] == u'=') {
            ++k;
            while (k < n && text[k].isSpace())
                ++k;
            if (k < n && (text[k] == u'"' || text[k] == u'\'')) {
                qsizetype end = text.indexOf(text[k], k + 1);
                if (end < 0)
                    end = n;
                a.value = text.mid(k + 1, end - k - 1).trimmed();
                j = std::min(end + 1, n);
            } else {
                const qsizetype valueStart = k;
                while (k < n && !text[k].isSpace() && text[k] != u'>' && text[k] != u'<')
                    ++k;
                a.value = text.mid(valueStart, k - valueStart);
                j = k;
            }
        }
        if (!a.name.isEmpty())
            m_attributes << a;
    }
    i = j < n && text[j] == u'<' ? j - 1 : std::min(j, n - 1);

    // Pages repeat their tags: a tag written as one before finds what that one found.
    const std::u16string_view whole = sv(text.mid(start, i + 1 - start));
    if (const auto known = m_tags.find(whole); known != m_tags.end()) {
        for (const Finding &f : known->second)
            add(f.level, start + f.position, f.message);
        return;
    }
    const qsizetype before = findings.size();
    evaluate(start, element);
    QList<Finding> found = findings.mid(before);
    for (Finding &f : found)
        f.position -= start;
    m_tags.emplace(std::u16string(whole), std::move(found));
}

void Checker::evaluate(int start, QStringView element)
{
    m_name.resize(0);
    appendLower(m_name, element);
    const QString &name = m_name;
    m_key.resize(0);
    m_key.append(QStringView(name));
    const auto end = m_features.end();
    const auto own = m_features.find(sv(m_key));
    if (own == end) {
        add(Finding::Level::Error, start,
            QStringLiteral("<%1>: どの版の iモード HTML にもない要素です").arg(name));
        return;
    }
    feature(*own->second, start, [&] { return u'<' + name + u'>'; });
    for (const Attribute &a : std::as_const(m_attributes)) {
        if (a.name.compare(u"localsrc", Qt::CaseInsensitive) == 0) {
            add(Finding::Level::Error, a.position,
                QStringLiteral("<%1 localsrc>: au の絵文字です。DoCoMo の機種では表示されません")
                    .arg(name));
            continue;
        }
        m_key.resize(0);
        m_key.append(QStringView(name));
        m_key += u'@';
        appendLower(m_key, a.name);
        const auto attribute = m_features.find(sv(m_key));
        if (attribute == end)
            continue; // the tables hold what is known to be accepted, not every attribute
        feature(*attribute->second, a.position,
                [&] { return QStringLiteral("<%1 %2>").arg(name, a.name); });
        if (!a.value.isEmpty()) {
            m_key += u'=';
            appendLower(m_key, a.value);
            if (const auto value = m_features.find(sv(m_key)); value != end)
                feature(*value->second, a.position, [&] {
                    return QStringLiteral("<%1 %2=%3>")
                        .arg(name, a.name.toString(), a.value.toString());
                });
        }
        const bool link = a.name.compare(u"href", Qt::CaseInsensitive) == 0 ||
                          a.name.compare(u"action", Qt::CaseInsensitive) == 0;
        if (link) {
            const qsizetype colon = a.value.indexOf(u':');
            if (colon > 0 && colon < 16) {
                m_key.resize(0);
                appendLower(m_key, a.value.left(colon + 1));
                const QString scheme = m_key;
                if (const auto row = m_features.find(sv(m_key)); row != end)
                    feature(*row->second, a.position, [&] { return scheme; });
                if (a.value.indexOf(u'?', colon) > 0) {
                    m_key += QStringLiteral("?to|subject|body");
                    if (const auto row = m_features.find(sv(m_key)); row != end)
                        feature(*row->second, a.position, [&] { return scheme + u'?'; });
                }
            }
        }
        if (name == u"img" && a.name.compare(u"src", Qt::CaseInsensitive) == 0)
            image(a.value, a.position);
    }
}

template <typename Shown> void Checker::feature(const Feature &f, int position, Shown shown)
{
    const auto worded = m_worded.find(sv(m_key));
    if (worded != m_worded.end()) {
        if (!worded->second.second.isEmpty())
            add(worded->second.first, position, worded->second.second);
        return;
    }
    auto &entry = m_worded[std::u16string(sv(m_key))];
    if (accepts(f.first, m_target.version))
        return; // worded as nothing
    QString message = QStringLiteral("%1: iモード HTML %2（%3 など）から")
                          .arg(shown(), f.first, m_tables.exampleOf(f.first));
    if (f.first.endsWith(u'F'))
        message += QStringLiteral("、FOMA の機種のみ");
    if (f.inferred)
        message += QStringLiteral("（版は推定）");
    else if (f.singleSource)
        message += QStringLiteral("（出典は一つだけ）");
    entry = {f.inferred || f.singleSource ? Finding::Level::Caution : Finding::Level::Error,
             message};
    add(entry.first, position, entry.second);
}

void Checker::image(QStringView src, int position)
{
    const QString format = imageFormat(src);
    if (!format.isEmpty()) {
        auto known = m_support.constFind(format);
        if (known == m_support.cend())
            known = m_support.insert(format, showsImages(m_target, format));
        const ImageSupport shown = *known;
        if (shown == ImageSupport::No)
            add(Finding::Level::Error, position,
                QStringLiteral("%1: 対象機種は %2 の画像を表示できません")
                    .arg(src.toString(), format));
        else if (shown == ImageSupport::Uncertain)
            add(Finding::Level::Caution, position,
                QStringLiteral(
                    "%1: %2 の画像は対象機種の一部でしか表示できない（または確かでない）")
                    .arg(src.toString(), format));
    }
    if (*m_imageBytes && isLocal(src) && !m_imagesCounted.contains(sv(src))) {
        m_imagesCounted.emplace(sv(src));
        const qint64 bytes = (*m_imageBytes)(src.toString());
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
    name.replace(QLatin1String(" generation"), QStringLiteral(" 世代"));
    name.replace(QLatin1String("i-mode browser"), QStringLiteral("iモードブラウザ"));
    name.replace(QLatin1String(" handsets"), QStringLiteral(" の機種"));
    return name;
}

bool Target::isFoma() const
{
    return isFomaVersion(version);
}

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
    if (t.error.isEmpty() &&
        (limits.isEmpty() || limits[0].value(0) != u"generation" || limits[0].size() != 10))
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
