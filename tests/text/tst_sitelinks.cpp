// The links of a site's pages: which attributes are links, where a link leads from its page
// (folders up and down, the site's top, anchors, case, Japanese and percent-encoded names),
// and what the check of a whole site reports.
#include "text/SiteLinks.h"

#include <QtTest>

using namespace SiteLinks;
using Site::FileKind;

Q_DECLARE_METATYPE(SiteLinks::Resolved)

namespace {
Resolved inSite(const QString &path, const QString &fragment = {}, bool hasFragment = false)
{
    return Resolved{Kind::InSite, path, fragment, hasFragment || !fragment.isEmpty()};
}
Resolved kind(Kind k)
{
    return Resolved{k, {}, {}, false};
}
} // namespace

class TestSiteLinks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void resolve_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("target");
        QTest::addColumn<Resolved>("expected");
        QTest::newRow("beside") << "a.html" << "b.html" << inSite("b.html");
        QTest::newRow("beside, in a folder") << "d/a.html" << "b.html" << inSite("d/b.html");
        QTest::newRow("down") << "a.html" << "d/e/b.html" << inSite("d/e/b.html");
        QTest::newRow("up") << "d/a.html" << "../b.html" << inSite("b.html");
        QTest::newRow("up twice") << "d/e/a.html" << "../../b.html" << inSite("b.html");
        QTest::newRow("up past the top") << "d/a.html" << "../../b.html" << kind(Kind::Outside);
        QTest::newRow("up from the top") << "a.html" << "../b.html" << kind(Kind::Outside);
        QTest::newRow("down and up past") << "a.html" << "d/../../b.html" << kind(Kind::Outside);
        QTest::newRow("dots and doubled slashes") << "a.html" << "./d//./b.html" << inSite("d/b.html");
        QTest::newRow("from the top") << "d/a.html" << "/b.html" << inSite("b.html");
        QTest::newRow("the top itself") << "d/a.html" << "/" << inSite("");
        QTest::newRow("a folder") << "a.html" << "d/" << inSite("d");
        QTest::newRow("anchor of its own page") << "d/a.html" << "#top" << inSite("d/a.html", "top");
        QTest::newRow("anchor of another") << "a.html" << "b.html#s2" << inSite("b.html", "s2");
        QTest::newRow("empty anchor") << "a.html" << "b.html#" << inSite("b.html", "", true);
        QTest::newRow("query goes") << "a.html" << "b.html?x=1&y=2#z" << inSite("b.html", "z");
        QTest::newRow("nothing") << "d/a.html" << "" << inSite("d/a.html");
        QTest::newRow("case kept") << "a.html" << "Menu.HTML" << inSite("Menu.HTML");
        QTest::newRow("japanese") << "a.html" << "日本語/ページ.html" << inSite("日本語/ページ.html");
        QTest::newRow("percent utf-8") << "a.html" << "%E6%97%A5.html" << inSite("日.html");
        QTest::newRow("percent shift-jis") << "a.html" << "%93%FA.html" << inSite("日.html");
        QTest::newRow("percent space") << "a.html" << "a%20b.html" << inSite("a b.html");
        QTest::newRow("percent anchor") << "a.html" << "#%E6%97%A5" << inSite("a.html", "日");
        QTest::newRow("spaces around") << "a.html" << " b.html " << inSite("b.html");
        QTest::newRow("http") << "a.html" << "http://example.jp/" << kind(Kind::External);
        QTest::newRow("HTTPS") << "a.html" << "HTTPS://example.jp/" << kind(Kind::External);
        QTest::newRow("mailto") << "a.html" << "mailto:a@example.jp" << kind(Kind::External);
        QTest::newRow("tel") << "a.html" << "tel:0312345678" << kind(Kind::External);
        QTest::newRow("another host") << "a.html" << "//example.jp/a" << kind(Kind::External);
        QTest::newRow("file") << "a.html" << "file:///etc/passwd" << kind(Kind::Outside);
        QTest::newRow("drive") << "a.html" << "C:\\site\\a.html" << kind(Kind::Outside);
        QTest::newRow("drive, slash") << "a.html" << "c:/a.html" << kind(Kind::Outside);
        QTest::newRow("share") << "a.html" << "\\\\server\\a.html" << kind(Kind::Outside);
    }
    void resolve()
    {
        QFETCH(QString, page);
        QFETCH(QString, target);
        QFETCH(Resolved, expected);
        const Resolved r = SiteLinks::resolve(page, target);
        QCOMPARE(int(r.kind), int(expected.kind));
        QCOMPARE(r.path, expected.path);
        QCOMPARE(r.fragment, expected.fragment);
        QCOMPARE(r.hasFragment, expected.hasFragment);
    }

    void links_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("targets");
        QTest::addColumn<QList<int>>("lines");
        QTest::newRow("href and src") << "<a href=\"a.html\">\n<img src=\"b.gif\">"
                                      << QStringList{"a.html", "b.gif"} << QList<int>{1, 2};
        QTest::newRow("frames") << "<frameset>\n\n<frame src='top.html' name=t>"
                                << QStringList{"top.html"} << QList<int>{3};
        QTest::newRow("unquoted, upper case") << "<A HREF=a.html>x</A><IMG SRC=b.gif>"
                                              << QStringList{"a.html", "b.gif"} << QList<int>{1, 1};
        QTest::newRow("au's localsrc is no file") << "<img localsrc=\"44\" src=\"c.gif\">"
                                                  << QStringList{"c.gif"} << QList<int>{1};
        QTest::newRow("in a comment") << "<!-- <a href=\"gone.html\"> -->\n<a href=b.html>"
                                      << QStringList{"b.html"} << QList<int>{2};
        QTest::newRow("value over lines") << "<a\nhref\n=\n\"a.html\">"
                                          << QStringList{"a.html"} << QList<int>{4};
        QTest::newRow("ampersand reference") << "<a href=\"b.html?x=1&amp;y=2\">"
                                             << QStringList{"b.html?x=1&y=2"} << QList<int>{1};
        QTest::newRow("not in text") << "href=\"a.html\" 1 < 2 <p>src=b</p>"
                                     << QStringList{} << QList<int>{};
        QTest::newRow("unterminated value") << "<a href=\"a.html>" << QStringList{}
                                            << QList<int>{};
        QTest::newRow("attribute without value") << "<a nowrap href=a.html>"
                                                 << QStringList{"a.html"} << QList<int>{1};
    }
    void links()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, targets);
        QFETCH(QList<int>, lines);
        QStringList gotTargets;
        QList<int> gotLines;
        for (const Link &l : SiteLinks::links(text)) {
            gotTargets << l.target;
            gotLines << l.line;
            QCOMPARE(text.mid(l.position, l.target.size()).isEmpty(), l.target.isEmpty());
        }
        QCOMPARE(gotTargets, targets);
        QCOMPARE(gotLines, lines);
    }

    // One link a row from a page in a folder of a small site.
    void check_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("problem"); // -1: none
        QTest::addColumn<QString>("detail");
        QTest::newRow("there") << "page.html" << -1 << "";
        QTest::newRow("missing") << "gone.html" << int(Problem::MissingFile) << "";
        QTest::newRow("case differs") << "../img/logo.gif" << int(Problem::CaseDiffers)
                                      << "img/Logo.gif";
        QTest::newRow("a folder with an index") << "./" << -1 << "";
        QTest::newRow("the top's index") << "/" << -1 << "";
        QTest::newRow("a folder without") << "../empty/" << int(Problem::MissingFile) << "";
        QTest::newRow("anchor there by name") << "../index.html#top" << -1 << "";
        QTest::newRow("anchor there by id") << "#here" << -1 << "";
        QTest::newRow("anchor missing") << "../index.html#bottom" << int(Problem::MissingAnchor)
                                        << "";
        QTest::newRow("anchor of a picture") << "../img/Logo.gif#x" << -1 << "";
        QTest::newRow("anchor of an unreadable page") << "../bad.html#x" << -1 << "";
        QTest::newRow("japanese, percent-encoded") << "../%E6%97%A5%E6%9C%AC.html" << -1 << "";
        QTest::newRow("outside") << "../../x.html" << int(Problem::Outside) << "";
        QTest::newRow("external") << "http://example.jp/" << int(Problem::External) << "";
    }
    void check()
    {
        QFETCH(QString, target);
        QFETCH(int, problem);
        QFETCH(QString, detail);
        Site::Listing site;
        site.files = {{"bad.html", FileKind::Page},      {"img/Logo.gif", FileKind::Image},
                      {"index.html", FileKind::Page},    {"sub/index.html", FileKind::Page},
                      {"sub/page.html", FileKind::Page}, {"日本.html", FileKind::Page}};
        site.folders = {"empty", "img", "sub"};
        const QHash<QString, QString> texts = {
            {"index.html", "<a name=\"top\">"},
            {"sub/index.html", ""},
            {"sub/page.html", "<p id=here>\n<a href=\"" + target + "\">"},
            {"日本.html", ""}};
        const auto text = [&](const QString &page, QString *error) -> std::optional<QString> {
            if (!texts.contains(page)) {
                *error = "読めない";
                return std::nullopt;
            }
            return texts.value(page);
        };
        Site::Progress progress;
        QList<Finding> found = SiteLinks::check(site, text, &progress);
        QCOMPARE(progress.done.load(), progress.total.load());
        QCOMPARE(found.size(), problem < 0 ? 1 : 2);
        QCOMPARE(int(found.first().problem), int(Problem::Unreadable));
        QCOMPARE(found.first().page, "bad.html");
        QCOMPARE(found.first().detail, "読めない");
        if (problem >= 0) {
            const Finding &f = found.at(1);
            QCOMPARE(int(f.problem), problem);
            QCOMPARE(f.page, "sub/page.html");
            QCOMPARE(f.line, 2);
            QCOMPARE(f.target, target);
            QCOMPARE(f.detail, detail);
        }
        // Cancelled before it starts, it reads no page.
        progress.cancelled = true;
        int read = 0;
        SiteLinks::check(site, [&](const QString &, QString *) -> std::optional<QString> {
            ++read;
            return QString();
        }, &progress);
        QCOMPARE(read, 0);
    }
};

QTEST_GUILESS_MAIN(TestSiteLinks)
#include "tst_sitelinks.moc"
