#include "app/CommandLine.h"
#include "documents/SizeText.h"

#include <QtTest>

class TestCommandLine : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void quotedPaths_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("paths");
        QTest::newRow("empty") << "" << QStringList();
        QTest::newRow("unquoted path") << "/tmp/a.html" << QStringList();
        QTest::newRow("one") << "\"/tmp/a b.html\"" << QStringList{"/tmp/a b.html"};
        QTest::newRow("two") << "\"/a.html\" \"/b.html\"" << QStringList{"/a.html", "/b.html"};
        QTest::newRow("text between ignored")
            << "x \"/a.html\" y z \"/b.html\" w" << QStringList{"/a.html", "/b.html"};
        QTest::newRow("single quote char") << "\"/a.html" << QStringList();
        QTest::newRow("final unpaired quote ends the scan")
            << "\"/a.html\" \"/b.html" << QStringList{"/a.html"};
        QTest::newRow("adjacent pairs") << "\"/a\"\"/b\"" << QStringList{"/a", "/b"};
        QTest::newRow("empty pair") << "\"\"" << QStringList{""};
        QTest::newRow("japanese") << "\"/ページ/索引.html\"" << QStringList{"/ページ/索引.html"};
    }
    void quotedPaths()
    {
        QFETCH(QString, line);
        QTEST(QuotedPaths(line), "paths");
    }

    void commandLineSkipsProgramName()
    {
        QCOMPARE(CommandLinePaths({"/opt/zemlo/zemlo", "\"/a.html\"", "\"/b.html\""}),
                 (QStringList{"/a.html", "/b.html"}));
        QCOMPARE(CommandLinePaths({"/opt/zemlo/zemlo"}), QStringList());
        QCOMPARE(CommandLinePaths({"\"/opt/zemlo/zemlo\""}), QStringList());
    }

    void absolutePaths()
    {
        QCOMPARE(
            AbsolutePaths({"a.html", "./sub//b.html", "/x/../c.html", "", "../d.html"}, "/w/k"),
            (QStringList{"/w/k/a.html", "/w/k/sub/b.html", "/x/../c.html", "", "/w/k/../d.html"}));
    }

    void sizeText_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("3216") << qint64(3216) << "3.14";
        QTest::newRow("2047 is cut, not rounded") << qint64(2047) << "1.99";
        QTest::newRow("512") << qint64(512) << "0.5";
        QTest::newRow("1024") << qint64(1024) << "1";
        QTest::newRow("100 KB") << qint64(102400) << "100";
        QTest::newRow("empty") << qint64(0) << "0";
        QTest::newRow("one byte") << qint64(1) << "0.00";
        QTest::newRow("5 KB exactly") << qint64(5120) << "5";
        QTest::newRow("just over 5 KB") << qint64(5131) << "5.01";
        QTest::newRow("10 MB") << qint64(10 * 1024 * 1024) << "10240";
    }
    void sizeText()
    {
        QFETCH(qint64, bytes);
        QTEST(SizeText(bytes / 1024.0), "text");
    }

    void sizeFromPanel_data()
    {
        QTest::addColumn<QString>("panel");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << "3.14 KB" << 3.14;
        QTest::newRow("five") << "5 KB" << 5.0;
        QTest::newRow("design text") << "File Size" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
    }
    void sizeFromPanel()
    {
        QFETCH(QString, panel);
        QTEST(SizeFromPanelText(panel), "value");
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
