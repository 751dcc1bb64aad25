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
        QTest::addColumn<QList<int>>("breaks");
        QTest::newRow("short line") << u"abcdefgh\nx"_qs << u"abcdefgh\nx"_qs << QList<int>{};
        QTest::newRow("long line") << u"abcdefghi"_qs << u"abcd|efghi"_qs << QList<int>{4};
        QTest::newRow("rows go on while over")
            << u"abcdefghijklm"_qs << u"abcd|efgh|ijklm"_qs << QList<int>{4, 9};
        QTest::newRow("tag ends the row sooner")
            << u"ab>cdefghij"_qs << u"ab>|cdefghij"_qs << QList<int>{3};
        QTest::newRow("tag too near the row start")
            << u"a>bcdefghij"_qs << u"a>bc|defghij"_qs << QList<int>{4};
        QTest::newRow("surrogate pair across the cut")
            << u"abc😀defghij"_qs << u"abc|😀de|fghij"_qs << QList<int>{3, 8};
        QTest::newRow("second line counts the first's breaks")
            << u"abcdefghi\nxy\nABCDEFGHI"_qs << u"abcd|efghi\nxy\nABCD|EFGHI"_qs
            << QList<int>{4, 18};
    }
    void withBreaks()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QFETCH(QList<int>, breaks);
        QList<int> found{99};
        QCOMPARE(DisplayRows::withBreaks(text, 8, 4, &found), marks(shown));
        QCOMPARE(found, breaks);
        QCOMPARE(DisplayRows(found).withoutBreaks(marks(shown), 0), text);
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
        if (documentAt > 0 && rows.isBreak(documentAt - 1))
            QCOMPARE(rows.textPosition(documentAt - 1), position);
    }

    void withoutBreaksOfAPart_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("text");
        QTest::newRow("no break among it") << 5 << 4 << u"efgh"_qs;
        QTest::newRow("from a break") << 4 << 3 << u"ef"_qs;
        QTest::newRow("up to a break") << 2 << 3 << u"cd"_qs;
        QTest::newRow("over two breaks") << 3 << 8 << u"defghi"_qs;
    }
    void withoutBreaksOfAPart()
    {
        QFETCH(int, from);
        QFETCH(int, length);
        QFETCH(QString, text);
        const QString document = marks(u"abcd|efgh|ij"_qs);
        QCOMPARE(DisplayRows({4, 9}).withoutBreaks(document.mid(from, length), from), text);
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
        QTest::addColumn<int>("gone");
        QTest::addColumn<int>("kept");
        QTest::newRow("typed before a break")
            << 1 << 0 << u"xy"_qs << QString() << QList<int>{6, 11} << 0 << 0;
        QTest::newRow("typed at a break")
            << 4 << 0 << u"x"_qs << QString() << QList<int>{5, 10} << 0 << 0;
        QTest::newRow("typed behind a break")
            << 5 << 0 << u"x"_qs << QString() << QList<int>{4, 10} << 0 << 0;
        QTest::newRow("deleted across a break")
            << 3 << 3 << QString() << QString() << QList<int>{6} << 1 << 0;
        QTest::newRow("replaced across a break")
            << 3 << 3 << u"XY"_qs << u"d|e"_qs << QList<int>{8} << 1 << 0;
        QTest::newRow("rows reported whole, one character replaced")
            << 0 << 14 << u"abcd|eXgh|ijkl"_qs << u"abcd|efgh|ijkl"_qs << QList<int>{4, 9} << 2
            << 2;
        QTest::newRow("rows reported whole, grown between the breaks")
            << 0 << 14 << u"abcd|eXYZgh|ijkl"_qs << u"abcd|efgh|ijkl"_qs << QList<int>{4, 11} << 2
            << 2;
        QTest::newRow("rows reported whole, the first break replaced")
            << 0 << 14 << u"abcXYgh|ijkl"_qs << u"abcd|efgh|ijkl"_qs << QList<int>{7} << 2 << 1;
        QTest::newRow("rows reported whole, old unknown")
            << 0 << 14 << u"abcd|eXYZgh|ijkl"_qs << QString() << QList<int>{4, 11} << 2 << 2;
        QTest::newRow("old unknown, no mark left")
            << 0 << 14 << u"abcdefghijkl"_qs << QString() << QList<int>{} << 2 << 0;
    }
    void follow()
    {
        QFETCH(int, position);
        QFETCH(int, removed);
        QFETCH(QString, inserted);
        QFETCH(QString, old);
        QFETCH(QList<int>, breaks);
        QFETCH(int, gone);
        QFETCH(int, kept);
        DisplayRows rows({4, 9});
        const DisplayRows::Change change =
            rows.follow(position, removed, int(inserted.size()), marks(inserted), marks(old));
        QCOMPARE(rows.breaks(), breaks);
        QCOMPARE(change.gone, gone);
        QCOMPARE(change.kept, kept);
    }

    // Rows put back over [from, to) of "abcd|efgh|ijkl|mn" (breaks 4, 9, 14).
    void replaceRows_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<int>("length");
        QTest::addColumn<QList<int>>("cuts");
        QTest::addColumn<QList<int>>("breaks");
        QTest::newRow("rows behind move") << 0 << 3 << 5 << QList<int>{} << QList<int>{6, 11, 16};
        QTest::newRow("middle rows cut again")
            << 5 << 14 << 10 << QList<int>{3, 6} << QList<int>{4, 8, 11, 15};
        QTest::newRow("rows joined") << 0 << 17 << 14 << QList<int>{} << QList<int>{};
    }
    void replaceRows()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(int, length);
        QFETCH(QList<int>, cuts);
        QFETCH(QList<int>, breaks);
        DisplayRows rows({4, 9, 14});
        rows.replaceRows(from, to, length, cuts);
        QCOMPARE(rows.breaks(), breaks);
    }
};

QTEST_GUILESS_MAIN(TestDisplayRows)
#include "tst_displayrows.moc"
