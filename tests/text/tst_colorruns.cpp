// The colour runs of a text: painting over them, and following the edits of the text. In the
// tables each character shows its colour by a letter, "." the default colour; the runs must be
// exactly the stretches of one letter, neighbours of one colour merged.
#include "text/ColorRuns.h"

#include <QTest>

using Runs = ColorRuns::Runs;

namespace {
Runs runsOf(QStringView colours)
{
    Runs runs;
    for (int at = 0; at < colours.size(); ++at) {
        const quint32 colour = colours[at].unicode();
        if (colour == u'.')
            continue;
        if (!runs.isEmpty() && runs.last().start + runs.last().length == at &&
            runs.last().color == colour)
            ++runs.last().length;
        else
            runs.append({at, 1, colour});
    }
    return runs;
}
const QString Start = u"..RRRR..BB"_qs;
} // namespace

class TestColorRuns : public QObject
{
    Q_OBJECT

private slots:
    void paint_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QChar>("colour");
        QTest::addColumn<QString>("colours");
        QTest::newRow("nothing to paint") << 4 << 4 << QChar(u'B') << Start;
        QTest::newRow("into the gap") << 0 << 1 << QChar(u'B') << u"B.RRRR..BB"_qs;
        QTest::newRow("splits a run") << 3 << 4 << QChar(u'B') << u"..RBRR..BB"_qs;
        QTest::newRow("default splits a run") << 3 << 4 << QChar(u'.') << u"..R.RR..BB"_qs;
        QTest::newRow("default clears runs") << 0 << 12 << QChar(u'.') << u".........."_qs;
        QTest::newRow("joins the neighbour behind") << 6 << 8 << QChar(u'B') << u"..RRRRBBBB"_qs;
        QTest::newRow("joins the neighbour before") << 6 << 7 << QChar(u'R') << u"..RRRRR.BB"_qs;
        QTest::newRow("bridges two runs") << 4 << 9 << QChar(u'B') << u"..RRBBBBBB"_qs;
        QTest::newRow("same colour over its run") << 3 << 5 << QChar(u'R') << Start;
    }
    void paint()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QChar, colour);
        QFETCH(QString, colours);
        Runs runs = runsOf(Start);
        ColorRuns::paint(runs, from, to,
                         colour == u'.' ? std::nullopt : std::optional<quint32>(colour.unicode()));
        QCOMPARE(runs, runsOf(colours));
        for (int at = 0; at < colours.size(); ++at)
            QCOMPARE(ColorRuns::colorAt(runs, at).value_or(u'.'),
                     quint32(colours.at(at).unicode()));
    }

    void followEdit_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("removed");
        QTest::addColumn<int>("added");
        QTest::addColumn<QString>("colours");
        QTest::newRow("typed before a run moves it") << 2 << 0 << 1 << u"...RRRR..BB"_qs;
        QTest::newRow("typed inside a run grows it") << 3 << 0 << 2 << u"..RRRRRR..BB"_qs;
        QTest::newRow("typed right behind a run") << 6 << 0 << 1 << u"..RRRRR..BB"_qs;
        QTest::newRow("part of a run removed") << 5 << 2 << 0 << u"..RRR.BB"_qs;
        QTest::newRow("a run removed whole") << 1 << 6 << 0 << u"..BB"_qs;
        QTest::newRow("a run's start replaced") << 8 << 1 << 3 << u"..RRRR.....B"_qs;
        QTest::newRow("across two runs") << 4 << 5 << 1 << u"..RRRB"_qs;
        QTest::newRow("behind every run") << 10 << 0 << 4 << u"..RRRR..BBBBBB"_qs;
    }
    void followEdit()
    {
        QFETCH(int, position);
        QFETCH(int, removed);
        QFETCH(int, added);
        QFETCH(QString, colours);
        Runs runs = runsOf(Start);
        ColorRuns::followEdit(runs, position, removed, added);
        QCOMPARE(runs, runsOf(colours));
    }

    // Runs given in order, cut to a text of ten characters; one overlapping the last goes.
    void append()
    {
        Runs runs;
        for (const ColorRun &run : Runs{{-2, 4, 'R'}, {1, 3, 'B'}, {4, 0, 'B'}, {8, 5, 'B'}})
            ColorRuns::append(runs, run, 10);
        QCOMPARE(runs, runsOf(u"RR......BB"));
    }
};

QTEST_GUILESS_MAIN(TestColorRuns)
#include "tst_colorruns.moc"
