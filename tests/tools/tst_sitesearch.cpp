// Find over a site: each match with its page, line and the line's text (a long line cut around
// the match), the find bar's options, pictographs and kept bytes as the pages are decoded, and
// pages that cannot be read named rather than fatal.
#include "tools/SiteSearch.h"

#include "text/Cp932.h"

#include <QtTest>

class TestSiteSearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void searchPage_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("ignoreWidth");
        QTest::addColumn<QList<int>>("lines");
        QTest::addColumn<QList<int>>("starts");
        QTest::addColumn<QStringList>("shown");
        const QString longLine = QString(300, u'x') + "needle" + QString(300, u'y');
        QTest::newRow("lines") << "a\nfoo\n\nbar foo foo" << "foo" << false << false
                               << QList<int>{2, 4, 4} << QList<int>{2, 11, 15}
                               << QStringList{"foo", "bar foo foo", "bar foo foo"};
        QTest::newRow("first and last character") << "foo\nfoo" << "foo" << false << false
                                                   << QList<int>{1, 2} << QList<int>{0, 4}
                                                   << QStringList{"foo", "foo"};
        QTest::newRow("case ignored") << "foo Foo" << "FOO" << false << false
                                      << QList<int>{1, 1} << QList<int>{0, 4}
                                      << QStringList{"foo Foo", "foo Foo"};
        QTest::newRow("case matched") << "foo Foo" << "Foo" << true << false << QList<int>{1}
                                      << QList<int>{4} << QStringList{"foo Foo"};
        QTest::newRow("width ignored") << "<p>ｶﾞｲﾄﾞ</p>" << "ガイド" << false << true
                                       << QList<int>{1} << QList<int>{3}
                                       << QStringList{"<p>ｶﾞｲﾄﾞ</p>"};
        QTest::newRow("width matched") << "<p>ｶﾞｲﾄﾞ</p>" << "ガイド" << false << false
                                       << QList<int>{} << QList<int>{} << QStringList{};
        QTest::newRow("raw pictograph") << "晴れ\uE63E" << "\uE63E" << false << false
                                        << QList<int>{1} << QList<int>{2}
                                        << QStringList{"晴れ\uE63E"};
        QTest::newRow("pictograph reference as written")
            << "&#63647;" << "&#63647;" << false << false << QList<int>{1} << QList<int>{0}
            << QStringList{"&#63647;"};
        QTest::newRow("kept byte parts the letters") << Cp932::decode("a\x82" "b") << "ab"
                                                     << false << false << QList<int>{}
                                                     << QList<int>{} << QStringList{};
        QTest::newRow("long line cut") << longLine << "needle" << false << false
                                       << QList<int>{1} << QList<int>{300}
                                       << QStringList{"…" + QString(60, u'x') + "needle" +
                                                      QString(94, u'y') + "…"};
        QTest::newRow("empty pattern") << "abc" << "" << false << false << QList<int>{}
                                       << QList<int>{} << QStringList{};
    }
    void searchPage()
    {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(bool, matchCase);
        QFETCH(bool, ignoreWidth);
        QFETCH(QList<int>, lines);
        QFETCH(QList<int>, starts);
        QFETCH(QStringList, shown);
        QList<int> gotLines;
        QList<int> gotStarts;
        QStringList gotShown;
        for (const SiteMatch &m : SearchPage("p.html", text, pattern, {matchCase, ignoreWidth})) {
            QCOMPARE(m.page, "p.html");
            gotLines << m.line;
            gotStarts << int(m.start);
            gotShown << m.lineText;
        }
        QCOMPARE(gotLines, lines);
        QCOMPARE(gotStarts, starts);
        QCOMPARE(gotShown, shown);
    }

    void searchSite()
    {
        Site::Listing site;
        site.files = {{"a.html", Site::FileKind::Page},
                      {"b.gif", Site::FileKind::Image},
                      {"c.html", Site::FileKind::Page},
                      {"d/e.htm", Site::FileKind::Page}};
        QStringList asked;
        const auto text = [&](const QString &page, QString *error) -> std::optional<QString> {
            asked << page;
            if (page == "c.html") {
                *error = "読めません";
                return std::nullopt;
            }
            return "x find " + page;
        };
        Site::Progress progress;
        QList<UnreadablePage> unreadable;
        const QList<SiteMatch> found =
            SearchSite(site, text, "find", {}, &progress, &unreadable);
        QCOMPARE(asked, (QStringList{"a.html", "c.html", "d/e.htm"}));
        QCOMPARE(found.size(), 2);
        QCOMPARE(found.at(1), (SiteMatch{"d/e.htm", 1, 2, 4, "x find d/e.htm"}));
        QCOMPARE(unreadable, (QList<UnreadablePage>{{"c.html", "読めません"}}));
        QCOMPARE(progress.done.load(), 4);
        QCOMPARE(progress.total.load(), 4);

        asked.clear();
        progress.cancelled = true;
        QVERIFY(SearchSite(site, text, "find", {}, &progress).isEmpty());
        QVERIFY(asked.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSiteSearch)
#include "tst_sitesearch.moc"
