// The search itself: where the next and the previous match lie under each option, and what
// replacing every match leaves.
#include "tools/TextSearch.h"

#include <QTest>

class TestTextSearch : public QObject
{
    Q_OBJECT

private slots:
    void find_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("ignoreWidth");
        QTest::addColumn<int>("from");
        QTest::addColumn<bool>("backward");
        QTest::addColumn<int>("start"); // -1: none
        QTest::addColumn<int>("length");
        QTest::newRow("at from") << u"abcabc"_qs << u"abc"_qs << false << false << 0 << false << 0 << 3;
        QTest::newRow("after from") << u"abcabc"_qs << u"abc"_qs << false << false << 1 << false << 3 << 3;
        QTest::newRow("none after from") << u"abcabc"_qs << u"abc"_qs << false << false << 4 << false << -1 << 0;
        QTest::newRow("previous starts before from") << u"abcabc"_qs << u"abc"_qs << false << false << 3 << true << 0 << 3;
        QTest::newRow("previous none") << u"abcabc"_qs << u"abc"_qs << false << false << 0 << true << -1 << 0;
        QTest::newRow("case folded") << u"xABC"_qs << u"abc"_qs << false << false << 0 << false << 1 << 3;
        QTest::newRow("case kept") << u"ABCabc"_qs << u"abc"_qs << true << false << 0 << false << 3 << 3;
        QTest::newRow("full-width differs") << u"ＡＢＣ abc"_qs << u"ABC"_qs << true << false << 0 << false << -1 << 0;
        QTest::newRow("full-width folded") << u"xＡＢＣ"_qs << u"ABC"_qs << true << true << 0 << false << 1 << 3;
        QTest::newRow("folded both ways") << u"xABC"_qs << u"ＡＢＣ"_qs << true << true << 0 << false << 1 << 3;
        QTest::newRow("voiced kana counts as one") << u"ガイドとガイド"_qs << u"ｶﾞｲﾄﾞ"_qs << false << true << 1 << false << 4 << 3;
        QTest::newRow("positions after a grown kana") << u"ガxyz"_qs << u"yz"_qs << false << true << 0 << false << 2 << 2;
        QTest::newRow("backward over grown kana") << u"ガyガy"_qs << u"ｶﾞy"_qs << false << true << 4 << true << 2 << 2;
        QTest::newRow("half of a voiced kana") << u"ガ"_qs << u"ｶ"_qs << false << true << 0 << false << -1 << 0;
        QTest::newRow("mark of a voiced kana") << u"ガ"_qs << u"ﾞ"_qs << false << true << 0 << false << -1 << 0;
        QTest::newRow("whole surrogate pair") << u"a😀b"_qs << u"😀"_qs << false << false << 0 << false << 1 << 2;
        QTest::newRow("lone low half") << u"a😀b"_qs << QString(QChar(0xDE00)) << false << false << 0 << false << -1 << 0;
        QTest::newRow("lone high half") << u"a😀b"_qs << QString(QChar(0xD83D)) << false << false << 0 << false << -1 << 0;
        QTest::newRow("LF of a CR LF") << u"a\r\nb"_qs << u"\nb"_qs << false << false << 0 << false << -1 << 0;
        QTest::newRow("CR of a CR LF") << u"a\r\nb"_qs << u"a\r"_qs << false << false << 0 << false << -1 << 0;
        QTest::newRow("whole CR LF") << u"a\r\nb"_qs << u"\r\n"_qs << false << false << 0 << false << 1 << 2;
        // A match refused (half of a pair, half of a kana) and one right beside it.
        QTest::newRow("lone LF after a CR LF") << u"\r\n\n"_qs << u"\n"_qs << false << false << 0 << false << 2 << 1;
        QTest::newRow("previous before half a kana") << u"ｶガ"_qs << u"ｶ"_qs << false << true << 2 << true << 0 << 1;
        QTest::newRow("empty pattern") << u"abc"_qs << QString() << false << false << 0 << false << -1 << 0;
        QTest::newRow("from past the end") << u"abc"_qs << u"c"_qs << false << false << 99 << true << 2 << 1;
    }
    void find()
    {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(bool, matchCase);
        QFETCH(bool, ignoreWidth);
        QFETCH(int, from);
        QFETCH(bool, backward);
        QFETCH(int, start);
        QFETCH(int, length);
        const TextSearch search(text, pattern, {matchCase, ignoreWidth});
        const auto found = backward ? search.previous(from) : search.next(from);
        QCOMPARE(found.has_value(), start >= 0);
        if (found)
            QCOMPARE(*found, (TextMatch{start, length}));
    }

    void wrapsAtEitherEnd()
    {
        const TextSearch search(u"ab ab"_qs, u"ab"_qs);
        QCOMPARE(FindWrapping(search, 4, false)->wrapped, true);
        QCOMPARE(FindWrapping(search, 4, false)->match.start, 0);
        QCOMPARE(FindWrapping(search, 0, true)->match.start, 3);
        QCOMPARE(FindWrapping(search, 1, false)->wrapped, false);
        // A match of the last character is found from the end.
        QCOMPARE(FindWrapping(TextSearch(u"ab a"_qs, u"a"_qs), 0, true)->match.start, 3);
    }

    void replaceEveryMatchAndMovePositions()
    {
        // Widths ignored, the matches differ in length: ガ is one character, ｶﾞ two.
        const QString text = u"ガ-ｶﾞ-ｶﾞ"_qs;
        const QList<TextMatch> matches = TextSearch(text, u"ガ"_qs, {false, true}).all();
        QCOMPARE(matches, (QList<TextMatch>{{0, 1}, {2, 2}, {5, 2}}));
        QCOMPARE(ReplaceMatches(text, matches, u"xyz"_qs), u"xyz-xyz-xyz"_qs);
        ReplacedPositions moved(matches, 3);
        const QList<qsizetype> before{0, 1, 2, 3, 4, 7}, after{0, 3, 4, 7, 7, 11};
        for (qsizetype i = 0; i < before.size(); ++i)
            QCOMPARE(moved(before.at(i)), after.at(i));
        // Asked out of order it starts again from the front.
        QCOMPARE(moved(1), 3);
    }
};

QTEST_GUILESS_MAIN(TestTextSearch)
#include "tst_textsearch.moc"
