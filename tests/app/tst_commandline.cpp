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

    // Options as on any Linux program, pages whose names begin with "-" after "--", and the
    // old quoted lines as they always were. (Pages as such are the command table's test.)
    void readsOptions_data()
    {
        using Action = CommandLineRequest::Action;
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Action>("action");
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<QString>("option");
        QTest::newRow("-h after a page")
            << QStringList{"a.html", "-h"} << Action::Help << QStringList() << "";
        QTest::newRow("--version")
            << QStringList{"--version", "a.html"} << Action::Version << QStringList() << "";
        QTest::newRow("an unknown option") << QStringList{"a.html", "--bogus", "--help"}
                                           << Action::Refuse << QStringList() << "--bogus";
        QTest::newRow("pages after --")
            << QStringList{"a.html", "--", "-x.html", "--help", "--"} << Action::Open
            << QStringList{"a.html", "-x.html", "--help", "--"} << "";
        QTest::newRow("a lone dash is a page")
            << QStringList{"-"} << Action::Open << QStringList{"-"} << "";
        QTest::newRow("a quoted line") << QStringList{"\"-x.html\" -y \"/b.html\""} << Action::Open
                                       << QStringList{"-x.html", "/b.html"} << "";
    }
    void readsOptions()
    {
        QFETCH(QStringList, arguments);
        const CommandLineRequest request =
            ReadCommandLine(QStringList{"/opt/zemlo/zemlo"} + arguments);
        QTEST(request.action, "action");
        QTEST(request.paths, "paths");
        QTEST(request.option, "option");
    }

    // Names as the system gives them: those that are not text in the locale's encoding are
    // told apart and shown with their bytes.
    void readableNames_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<QString>("shown");
        QTest::newRow("UTF-8") << QByteArray("/p/ページ.html") << true << "/p/ページ.html";
        QTest::newRow("Shift-JIS")
            << QByteArray("/p/\x83y\x81[\x83W.html") << false << "/p/\\x83y\\x81[\\x83W.html";
        QTest::newRow("cut short") << QByteArray("a\xe3\x83") << false << "a\\xe3\\x83";
    }
    void readableNames()
    {
        QFETCH(QByteArray, name);
        QTEST(ReadableName(name), "readable");
        QTEST(ShownName(name), "shown");
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
