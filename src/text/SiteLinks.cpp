#include "text/SiteLinks.h"

#include "text/Cp932.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringConverter>

namespace SiteLinks {

namespace {

bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

// Calls attribute(tag, name, value, position of value) for every attribute of every tag.
template <typename F> void eachAttribute(const QString &text, F &&attribute)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    while ((i = text.indexOf(u'<', i)) >= 0) {
        if (QStringView(text).mid(i, 4) == u"<!--") {
            const qsizetype end = text.indexOf(QStringLiteral("-->"), i + 4);
            if (end < 0)
                return;
            i = end + 3;
            continue;
        }
        ++i;
        if (i >= n || !text.at(i).isLetter())
            continue;
        const qsizetype nameStart = i;
        while (i < n && !isSpace(text.at(i)) && text.at(i) != u'>' && text.at(i) != u'/')
            ++i;
        const QString tag = text.mid(nameStart, i - nameStart).toLower();
        while (i < n && text.at(i) != u'>' && text.at(i) != u'<') {
            if (isSpace(text.at(i)) || text.at(i) == u'/') {
                ++i;
                continue;
            }
            const qsizetype attrStart = i;
            while (i < n && !isSpace(text.at(i)) && text.at(i) != u'=' && text.at(i) != u'>' &&
                   text.at(i) != u'<')
                ++i;
            const QString name = text.mid(attrStart, i - attrStart).toLower();
            qsizetype j = i;
            while (j < n && isSpace(text.at(j)))
                ++j;
            if (j >= n || text.at(j) != u'=')
                continue;
            ++j;
            while (j < n && isSpace(text.at(j)))
                ++j;
            if (j >= n)
                return;
            qsizetype valueStart = j;
            qsizetype valueEnd;
            if (text.at(j) == u'"' || text.at(j) == u'\'') {
                valueStart = j + 1;
                valueEnd = text.indexOf(text.at(j), valueStart);
                if (valueEnd < 0)
                    return;
                i = valueEnd + 1;
            } else {
                valueEnd = j;
                while (valueEnd < n && !isSpace(text.at(valueEnd)) && text.at(valueEnd) != u'>')
                    ++valueEnd;
                i = valueEnd;
            }
            attribute(tag, name, text.mid(valueStart, valueEnd - valueStart), valueStart);
        }
    }
}

QString withoutAmpersandReferences(QString value)
{
    value.replace(QStringLiteral("&amp;"), QStringLiteral("&"), Qt::CaseInsensitive);
    value.replace(QStringLiteral("&#38;"), QStringLiteral("&"));
    return value.trimmed();
}

// %XX sequences as UTF-8, or as code page 932 when the bytes are not UTF-8.
QString percentDecoded(const QString &text)
{
    if (!text.contains(u'%'))
        return text;
    const QByteArray bytes = QByteArray::fromPercentEncoding(text.toUtf8());
    auto utf8 = QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8(bytes);
    if (!utf8.hasError())
        return decoded;
    return Cp932::decode(bytes);
}

bool hasScheme(const QString &target)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.\\-]*:"));
    return scheme.match(target).hasMatch();
}

} // namespace

QList<Link> links(const QString &text)
{
    QList<Link> list;
    int line = 1;
    qsizetype counted = 0;
    eachAttribute(
        text, [&](const QString &, const QString &name, const QString &value, qsizetype position) {
            if (name != u"href" && name != u"src")
                return;
            line += int(QStringView(text).mid(counted, position - counted).count(u'\n'));
            counted = position;
            list << Link{withoutAmpersandReferences(value), line, position};
        });
    return list;
}

QSet<QString> anchors(const QString &text)
{
    QSet<QString> names;
    eachAttribute(text,
                  [&](const QString &tag, const QString &name, const QString &value, qsizetype) {
                      if (name == u"id" || (name == u"name" && tag == u"a"))
                          names.insert(withoutAmpersandReferences(value));
                  });
    return names;
}

Resolved resolve(const QString &page, const QString &target)
{
    Resolved r;
    QString rest = target.trimmed();
    // A drive letter or a path of this machine is as far out of the site as can be.
    if (rest.startsWith(QStringLiteral("file:"), Qt::CaseInsensitive) ||
        (rest.size() >= 2 && rest.at(0).isLetter() && rest.at(1) == u':' &&
         (rest.size() == 2 || rest.at(2) == u'\\' || rest.at(2) == u'/')) ||
        rest.startsWith(u'\\')) {
        r.kind = Kind::Outside;
        return r;
    }
    if (hasScheme(rest) || rest.startsWith(QStringLiteral("//"))) {
        r.kind = Kind::External;
        return r;
    }
    if (const qsizetype hash = rest.indexOf(u'#'); hash >= 0) {
        r.hasFragment = true;
        r.fragment = percentDecoded(rest.mid(hash + 1));
        rest.truncate(hash);
    }
    if (const qsizetype query = rest.indexOf(u'?'); query >= 0)
        rest.truncate(query);
    rest = percentDecoded(rest);
    if (rest.isEmpty()) {
        r.path = page;
        return r;
    }
    QStringList parts;
    if (!rest.startsWith(u'/')) {
        parts = page.split(u'/');
        parts.removeLast();
    }
    const QStringList steps = rest.split(u'/');
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const QString &step = steps.at(i);
        if (step == u"..") {
            if (parts.isEmpty()) {
                r.kind = Kind::Outside;
                return r;
            }
            parts.removeLast();
        } else if (!step.isEmpty() && step != u".") {
            parts << step;
        }
    }
    r.path = parts.join(u'/');
    return r;
}

QString describe(const Finding &f)
{
    switch (f.problem) {
    case Problem::MissingFile:
        return QStringLiteral("ファイルがありません: ") + f.target;
    case Problem::CaseDiffers:
        return QStringLiteral("ファイルがありません（大文字と小文字だけが違う %1 があります）: ")
                   .arg(f.detail) +
               f.target;
    case Problem::MissingAnchor:
        return QStringLiteral("アンカーがありません: ") + f.target;
    case Problem::Outside:
        return QStringLiteral("サイトのフォルダの外を指しています: ") + f.target;
    case Problem::External:
        return f.target;
    case Problem::Unreadable:
        return QStringLiteral("ページを読めません: ") + f.detail;
    }
    return f.target;
}

QList<Finding> check(const Site::Listing &site, const Site::PageText &text,
                     Site::Progress *progress)
{
    QHash<QString, const Site::File *> files;
    QHash<QString, QString> folded; // lower case to the real name
    for (const Site::File &f : site.files) {
        files.insert(f.path, &f);
        folded.insert(f.path.toLower(), f.path);
    }
    const QSet<QString> folders(site.folders.cbegin(), site.folders.cend());

    struct PageLinks
    {
        QString page;
        QList<Link> links;
    };
    QList<PageLinks> pages;
    QHash<QString, QSet<QString>> anchorsOf;
    QList<Finding> findings;
    if (progress)
        progress->total = int(site.files.size() * 2);
    for (const Site::File &f : site.files) {
        if (progress && progress->stop())
            return findings;
        if (progress)
            progress->step();
        if (f.kind != Site::FileKind::Page)
            continue;
        QString error;
        const std::optional<QString> page = text(f.path, &error);
        if (!page) {
            findings << Finding{f.path, 0, 0, QString(), Problem::Unreadable, error};
            continue;
        }
        pages << PageLinks{f.path, links(*page)};
        anchorsOf.insert(f.path, anchors(*page));
    }

    if (progress)
        progress->total = int(site.files.size() + pages.size());

    // A folder leads to its index page, as a server serves it.
    auto fileFor = [&](const QString &path) -> QString {
        if (files.contains(path))
            return path;
        if (path.isEmpty() || folders.contains(path)) {
            const QString prefix = path.isEmpty() ? QString() : path + u'/';
            for (const char *index : {"index.html", "index.htm"})
                if (files.contains(prefix + QLatin1String(index)))
                    return prefix + QLatin1String(index);
        }
        return {};
    };
    for (const PageLinks &p : pages) {
        if (progress && progress->stop())
            return findings;
        if (progress)
            progress->step();
        for (const Link &link : p.links) {
            const Resolved r = resolve(p.page, link.target);
            Finding finding{p.page, link.line, link.position, link.target, Problem::External, {}};
            if (r.kind == Kind::External) {
                findings << finding;
                continue;
            }
            if (r.kind == Kind::Outside) {
                finding.problem = Problem::Outside;
                findings << finding;
                continue;
            }
            const QString file = fileFor(r.path);
            if (file.isEmpty()) {
                const QString near = folded.value(r.path.toLower());
                finding.problem = near.isEmpty() ? Problem::MissingFile : Problem::CaseDiffers;
                finding.detail = near;
                findings << finding;
                continue;
            }
            if (r.hasFragment && !r.fragment.isEmpty() && anchorsOf.contains(file) &&
                !anchorsOf.value(file).contains(r.fragment)) {
                finding.problem = Problem::MissingAnchor;
                findings << finding;
            }
        }
    }
    return findings;
}

} // namespace SiteLinks
