// The colour runs of a text: painting over them, and following the edits of the text.
#include "text/ColorRuns.h"

#include <QTest>

using Runs = ColorRuns::Runs;

namespace {
constexpr quint32 Red = 0x0000FF, Blue = 0xFF0000;
constexpr qint64 Default = -1;
} // namespace

class TestColorRuns : public QObject
{
    Q_OBJECT

private slots:
    // Over red 2..6 and blue 8..10.
    void paint_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<qint64>("color");
        QTest::addColumn<Runs>("runs");
        QTest::newRow("nothing to paint")
            << 4 << 4 << qint64(Blue) << Runs{{2, 4, Red}, {8, 2, Blue}};
        QTest::newRow("into the gap")
            << 0 << 1 << qint64(Blue) << Runs{{0, 1, Blue}, {2, 4, Red}, {8, 2, Blue}};
        QTest::newRow("splits a run")
            << 3 << 4 << qint64(Blue) << Runs{{2, 1, Red}, {3, 1, Blue}, {4, 2, Red}, {8, 2, Blue}};
        QTest::newRow("default splits a run")
            << 3 << 4 << Default << Runs{{2, 1, Red}, {4, 2, Red}, {8, 2, Blue}};
        QTest::newRow("default clears runs") << 0 << 12 << Default << Runs{};
        QTest::newRow("joins the neighbour behind")
            << 6 << 8 << qint64(Blue) << Runs{{2, 4, Red}, {6, 4, Blue}};
        QTest::newRow("joins the neighbour before")
            << 6 << 7 << qint64(Red) << Runs{{2, 5, Red}, {8, 2, Blue}};
        QTest::newRow("bridges two runs of its colour")
            << 4 << 9 << qint64(Blue) << Runs{{2, 2, Red}, {4, 6, Blue}};
        QTest::newRow("same colour over its run")
            << 3 << 5 << qint64(Red) << Runs{{2, 4, Red}, {8, 2, Blue}};
    }
    void paint()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(qint64, color);
        QFETCH(Runs, runs);
        Runs painted{{2, 4, Red}, {8, 2, Blue}};
        ColorRuns::paint(painted, from, to,
                         color == Default ? std::nullopt : std::optional<quint32>(quint32(color)));
        QCOMPARE(painted, runs);
        for (int at = from; at < to; ++at) {
            const std::optional<quint32> found = ColorRuns::colorAt(painted, at);
            QCOMPARE(found ? qint64(*found) : Default, color);
        }
    }

    // Red 2..6 and blue 8..10, edited.
    void followEdit_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("removed");
        QTest::addColumn<int>("added");
        QTest::addColumn<Runs>("runs");
        QTest::newRow("typed before a run moves it")
            << 2 << 0 << 1 << Runs{{3, 4, Red}, {9, 2, Blue}};
        QTest::newRow("typed inside a run grows it")
            << 3 << 0 << 2 << Runs{{2, 6, Red}, {10, 2, Blue}};
        QTest::newRow("typed right behind a run continues it")
            << 6 << 0 << 1 << Runs{{2, 5, Red}, {9, 2, Blue}};
        QTest::newRow("part of a run removed") << 5 << 2 << 0 << Runs{{2, 3, Red}, {6, 2, Blue}};
        QTest::newRow("a run removed whole") << 1 << 6 << 0 << Runs{{2, 2, Blue}};
        QTest::newRow("a run's start replaced") << 8 << 1 << 3 << Runs{{2, 4, Red}, {11, 1, Blue}};
        QTest::newRow("across two runs") << 4 << 5 << 1 << Runs{{2, 3, Red}, {5, 1, Blue}};
        QTest::newRow("behind every run") << 10 << 0 << 4 << Runs{{2, 4, Red}, {8, 6, Blue}};
        QTest::newRow("nothing changed") << 0 << 0 << 0 << Runs{{2, 4, Red}, {8, 2, Blue}};
    }
    void followEdit()
    {
        QFETCH(int, position);
        QFETCH(int, removed);
        QFETCH(int, added);
        QFETCH(Runs, runs);
        Runs edited{{2, 4, Red}, {8, 2, Blue}};
        ColorRuns::followEdit(edited, position, removed, added);
        QCOMPARE(edited, runs);
    }

    void within_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<Runs>("runs");
        QTest::newRow("between runs") << 6 << 8 << Runs{};
        QTest::newRow("ends of two runs") << 4 << 9 << Runs{{0, 2, Red}, {4, 1, Blue}};
        QTest::newRow("inside a run") << 3 << 4 << Runs{{0, 1, Red}};
    }
    void within()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(Runs, runs);
        QCOMPARE(ColorRuns::within(Runs{{2, 4, Red}, {8, 2, Blue}}, from, to), runs);
    }

    // Runs given in order, cut to a text of ten characters.
    void append()
    {
        Runs runs;
        ColorRuns::append(runs, {-2, 4, Red}, 10);
        ColorRuns::append(runs, {1, 3, Blue}, 10);
        ColorRuns::append(runs, {4, 0, Blue}, 10);
        ColorRuns::append(runs, {8, 5, Blue}, 10);
        ColorRuns::append(runs, {12, 1, Red}, 10);
        QCOMPARE(runs, (Runs{{0, 2, Red}, {8, 2, Blue}}));
    }
};

QTEST_GUILESS_MAIN(TestColorRuns)
#include "tst_colorruns.moc"
