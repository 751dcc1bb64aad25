// The rows long lines are shown in: where they are cut, how positions of the text and of the
// document map onto each other, and which breaks a change of the document leaves standing.
// "|" stands for the document's mark in these tables.
#include "text/DisplayRows.h"

#include <QTest>

namespace {
QString marks(QString text)
{
    return text.replace(QLatin1Char('|'), QChar::ParagraphSeparator);
}
} // namespace

class TestDisplayRows : public QObject
{
    Q_OBJECT

private slots:
    // Lines over eight characters go into rows of four, or down to three after a ">".
    void withBreaks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("short line") << u"abcdefgh\nx"_qs << u"abcdefgh\nx"_qs;
        QTest::newRow("long line") << u"abcdefghi"_qs << u"abcd|efghi"_qs;
        QTest::newRow("rows go on while over") << u"abcdefghijklm"_qs << u"abcd|efgh|ijklm"_qs;
        QTest::newRow("tag ends the row sooner") << u"ab>cdefghij"_qs << u"ab>|cdefghij"_qs;
        QTest::newRow("tag too near the row start") << u"a>bcdefghij"_qs << u"a>bc|defghij"_qs;
        QTest::newRow("surrogate pair across the cut") << u"abc😀defghij"_qs << u"abc|😀de|fghij"_qs;
        QTest::newRow("second line counts the first's breaks")
            << u"abcdefghi\nxy\nABCDEFGHI"_qs << u"abcd|efghi\nxy\nABCD|EFGHI"_qs;
    }
    void withBreaks()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QList<int> breaks{99}, expected;
        for (qsizetype at = shown.indexOf(u'|'); at >= 0; at = shown.indexOf(u'|', at + 1))
            expected.append(int(at));
        QCOMPARE(DisplayRows::withBreaks(text, 8, 4, &breaks), marks(shown));
        QCOMPARE(breaks, expected);
        QCOMPARE(DisplayRows(breaks).withoutBreaks(marks(shown), 0), text);
    }

    // "abcd|efgh|ij": text positions and the document positions they stand at.
    void positions_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("documentAt");
        QTest::newRow("start") << 0 << 0;
        QTest::newRow("before the first break") << 3 << 3;
        QTest::newRow("row start behind its break") << 4 << 5;
        QTest::newRow("inside the second row") << 7 << 8;
        QTest::newRow("third row start") << 8 << 10;
        QTest::newRow("end") << 10 << 12;
    }
    void positions()
    {
        QFETCH(int, position);
        QFETCH(int, documentAt);
        const DisplayRows rows({4, 9});
        QCOMPARE(rows.documentPosition(position), documentAt);
        QCOMPARE(rows.textPosition(documentAt), position);
        // A break itself is the character after it.
        if (rows.isBreak(documentAt - 1))
            QCOMPARE(rows.textPosition(documentAt - 1), position);
        // The parts of the document before and behind, without their breaks.
        const QString document = marks(u"abcd|efgh|ij"_qs), text = u"abcdefghij"_qs;
        const int from = qMax(0, documentAt - 1);
        QCOMPARE(rows.withoutBreaks(document.left(documentAt), 0), text.left(position));
        QCOMPARE(rows.withoutBreaks(document.mid(from), from), text.mid(rows.textPosition(from)));
    }

    // Breaks at 4 and 9 ("abcd|efgh|ijkl"), and what is left of them after a change of the
    // document; old is empty where the removed text is not known.
    void follow_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("removed");
        QTest::addColumn<QString>("inserted");
        QTest::addColumn<QString>("old");
        QTest::addColumn<QList<int>>("breaks");
        QTest::addColumn<int>("kept");
        const QString all = u"abcd|efgh|ijkl"_qs;
        QTest::newRow("typed before a break")
            << 1 << 0 << u"xy"_qs << QString() << QList{6, 11} << 0;
        QTest::newRow("typed at a break") << 4 << 0 << u"x"_qs << QString() << QList{5, 10} << 0;
        QTest::newRow("typed behind a break")
            << 5 << 0 << u"x"_qs << QString() << QList{4, 10} << 0;
        QTest::newRow("deleted across a break")
            << 3 << 3 << QString() << QString() << QList{6} << 0;
        QTest::newRow("replaced across a break")
            << 3 << 3 << u"XY"_qs << u"d|e"_qs << QList{8} << 0;
        // The document reports the rows whole.
        QTest::newRow("one character")
            << 0 << 14 << u"abcd|eXgh|ijkl"_qs << all << QList{4, 9} << 2;
        QTest::newRow("grown") << 0 << 14 << u"abcd|eXYZgh|ijkl"_qs << all << QList{4, 11} << 2;
        QTest::newRow("up to a break")
            << 0 << 14 << u"abcd|eXYZ|ijkl"_qs << all << QList{4, 9} << 2;
        QTest::newRow("a break replaced") << 0 << 14 << u"abcXYgh|ijkl"_qs << all << QList{7} << 1;
        QTest::newRow("a break made a character")
            << 0 << 14 << u"abcdXefgh|ijkl"_qs << all << QList{9} << 1;
        QTest::newRow("grown, old unknown")
            << 0 << 14 << u"abcd|eXYZgh|ijkl"_qs << QString() << QList{4, 11} << 2;
        QTest::newRow("old unknown, no mark left")
            << 0 << 14 << u"abcdefghijkl"_qs << QString() << QList<int>{} << 0;
    }
    void follow()
    {
        QFETCH(int, position);
        QFETCH(int, removed);
        QFETCH(QString, inserted);
        QFETCH(QString, old);
        QFETCH(QList<int>, breaks);
        QFETCH(int, kept);
        DisplayRows rows({4, 9});
        const DisplayRows::Change change =
            rows.follow(position, removed, int(inserted.size()), marks(inserted), marks(old));
        QCOMPARE(rows.breaks(), breaks);
        QCOMPARE(change.kept, kept);
        QCOMPARE(rows.count(), 2 - change.gone + change.kept);
    }
};

QTEST_GUILESS_MAIN(TestDisplayRows)
#include "tst_displayrows.moc"
