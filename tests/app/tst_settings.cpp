#include "app/MDI_Module.h"
#include "app/Settings.h"
#include "app/SettingsLine.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

class TestSettings : public QObject
{
    Q_OBJECT

    static void write(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

private Q_SLOTS:
    void load_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("present");
        QTest::addColumn<bool>("tagColor");
        QTest::addColumn<bool>("realtime");
        QTest::addColumn<bool>("width8");
        QTest::newRow("no file") << QByteArray() << false << true << true << false;
        QTest::newRow("empty file") << QByteArray() << true << true << true << false;
        QTest::newRow("defaults") << QByteArray("#TRUE#,#TRUE#,#FALSE#,#TRUE#\r\n") << true
                                  << true << true << false;
        QTest::newRow("all changed") << QByteArray("#FALSE#,#FALSE#,#TRUE#,#FALSE#\r\n") << true
                                     << false << false << true;
        QTest::newRow("two fields") << QByteArray("#FALSE#,#FALSE#\r\n") << true << false << false
                                    << false;
        QTest::newRow("four lines") << QByteArray("#FALSE#\r\n#FALSE#\r\n#TRUE#\r\n#FALSE#\r\n")
                                    << true << false << false << true;
        QTest::newRow("bare LF lines") << QByteArray("#FALSE#\n#TRUE#\n#TRUE#\n") << true << false
                                       << true << true;
        QTest::newRow("no line end") << QByteArray("#FALSE#,#FALSE#,#TRUE#,#FALSE#") << true
                                     << false << false << true;
        QTest::newRow("damaged field keeps its default")
            << QByteArray("#FALSE#,1,#TRUE#\r\n") << true << false << true << true;
        QTest::newRow("binary junk") << QByteArray("\x00\xff\xfe,,\r\r\n#X", 9) << true << true
                                     << true << false;
        QTest::newRow("empty first line") << QByteArray("\r\n#FALSE#,#FALSE#,#TRUE#") << true
                                          << true << false << false;
    }

    void load()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, present);
        QTemporaryDir dir;
        if (present)
            write(ProgramFiles::settings(dir.path()), content);
        // Start from the opposite of the defaults so that a skipped reset shows.
        MDI_Module::OptTagColor = false;
        MDI_Module::OptRealtimePreview = false;
        MDI_Module::OptWidth8 = true;
        LoadSettings(dir.path());
        QTEST(MDI_Module::OptTagColor, "tagColor");
        QTEST(MDI_Module::OptRealtimePreview, "realtime");
        QTEST(MDI_Module::OptWidth8, "width8");
    }

    void formatIsTheFileLine()
    {
        QCOMPARE(SettingsLine::format(true, true, false, true),
                 QByteArray("#TRUE#,#TRUE#,#FALSE#,#TRUE#\r\n"));
        QCOMPARE(SettingsLine::format(false, false, true, false),
                 QByteArray("#FALSE#,#FALSE#,#TRUE#,#FALSE#\r\n"));
    }

    void saveWritesAndRoundTrips()
    {
        QTemporaryDir dir;
        write(ProgramFiles::settings(dir.path()), "garbage that is longer than the line\r\n");
        SaveSettings(dir.path(), false, true, true, false);
        QFile f(ProgramFiles::settings(dir.path()));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("#FALSE#,#TRUE#,#TRUE#,#FALSE#\r\n"));
        LoadSettings(dir.path());
        QCOMPARE(MDI_Module::OptTagColor, false);
        QCOMPARE(MDI_Module::OptRealtimePreview, true);
        QCOMPARE(MDI_Module::OptWidth8, true);
    }

    void saveFailsSilently()
    {
        // A folder that does not exist.
        QTemporaryDir dir;
        SaveSettings(dir.path() + "/missing", true, true, false, true);
        QVERIFY(!QFile::exists(dir.path() + "/missing/zemlo.vrn"));
        // A read-only settings file is left as it was.
        const QString path = ProgramFiles::settings(dir.path());
        write(path, "#FALSE#,#FALSE#,#TRUE#,#FALSE#\r\n");
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0444) == 0);
        SaveSettings(dir.path(), true, true, false, true);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("#FALSE#,#FALSE#,#TRUE#,#FALSE#\r\n"));
    }

    void pictographList()
    {
        QTemporaryDir dir;
        MDI_Module::PictographListFound = true;
        CheckPictographList(dir.path());
        QVERIFY(!MDI_Module::PictographListFound);
        QVERIFY(QDir(dir.path()).mkdir("ImageList"));
        // A folder in place of the file cannot be opened as the list.
        QVERIFY(QDir(dir.path()).mkdir("ImageList/ImageList.lst"));
        CheckPictographList(dir.path());
        QVERIFY(!MDI_Module::PictographListFound);
        QVERIFY(QDir(dir.path()).rmdir("ImageList/ImageList.lst"));
        write(ProgramFiles::pictographList(dir.path()), "");
        CheckPictographList(dir.path());
        QVERIFY(MDI_Module::PictographListFound);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
