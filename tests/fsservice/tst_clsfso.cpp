#include "FsoTestSupport.h"
#include "fsservice/ClsFSO.h"
#include "fsservice/FsoDrive.h"
#include "fsservice/FsoInfoText.h"

#include <QLocale>
#include <QMimeDatabase>
#include <memory>

namespace {
const QString Crlf = FsoCrlf;
}

// The information members, drives and the queries.
class TestClsFSO : public QObject
{
    Q_OBJECT

    std::unique_ptr<FsoWorkFolder> m_work;
    QString at(const QString &rel) const { return m_work->at(rel); }
    static void writeFile(const QString &path, const QByteArray &content)
    {
        QVERIFY(FsoWorkFolder::write(path, content));
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan)); }

    void init()
    {
        m_work = std::make_unique<FsoWorkFolder>();
        QVERIFY(m_work->isValid());
    }

    void cleanup() { m_work.reset(); }

    void infoFileMissingClearsFieldsQuietly()
    {
        ScriptedPrompts prompts;
        ClsFSO fso(&prompts);
        fso.InfoFile(at("a.txt"));
        QCOMPARE(fso.filName, QStringLiteral("a.txt"));
        fso.InfoFile(at("missing.txt"));
        for (const QString *field : {&fso.filName, &fso.filType, &fso.filPath, &fso.filParentFolder,
                                     &fso.filCreated, &fso.filLastAccessed, &fso.filLastModified})
            QVERIFY2(field->isEmpty(), qPrintable(*field));
        QCOMPARE(fso.filSize, 0.0);
        QCOMPARE(prompts.count(), 0);
    }

    void infoFileMissingShowsEmptyBox()
    {
        ScriptedPrompts prompts;
        ClsFSO fso(&prompts);
        fso.ShowDialog = true;
        fso.InfoFile(at("missing.txt"));
        QCOMPARE(prompts.count(), 1);
        const MessageRequest m = prompts.messages().constFirst();
        QCOMPARE(m.text,
                 QStringLiteral("■名前\t\t\r\n\r\n■種類\t\t\r\n■場所\t\t\r\n■サイズ\t\t0 KB\r\n"
                                "\r\n■作成日\t\t\r\n■更新日\t\t\r\n■アクセス日\t\r\n"));
        QCOMPARE(m.title, QStringLiteral("ﾌｧｲﾙ 情報"));
        QCOMPARE(m.icon, Prompt::Icon::Information);
        QCOMPARE(m.buttons, Prompt::Buttons::Ok);
    }

    void fileTypeIsWhatTheTypeDatabaseSays()
    {
        // Asked again and again (as the preview does), the type still follows the content
        // wherever the name alone does not tell it.
        const QByteArray png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
        const QList<std::pair<QString, QByteArray>> cases = {
            {"sub/page.htm", "<html><p>x</p></html>"}, {"sub/page.htm", png},
            {"sub/noname", png}, {"sub/noname", "just some words\n"}, {"sub/noname", png}};
        ScriptedPrompts prompts;
        ClsFSO fso(&prompts);
        fso.ShowDialog = false;
        for (const auto &[name, bytes] : cases) {
            writeFile(at(name), bytes);
            for (int again = 0; again < 2; ++again) {
                fso.InfoFile(at(name));
                QCOMPARE(fso.filType, QMimeDatabase().mimeTypeForFile(at(name)).comment());
            }
        }
        fso.InfoFile(at("sub/noname"));
        QCOMPARE(fso.filType, QMimeDatabase().mimeTypeForName("image/png").comment());
    }

    void infoFileBox_data()
    {
        QTest::addColumn<int>("bytes");
        QTest::addColumn<double>("kb");
        QTest::addColumn<QString>("sizeLine");
        QTest::newRow("3000 bytes") << 3000 << 2.9296875 << QStringLiteral("■サイズ\t\t3 KB");
        QTest::newRow("grouped") << 1536000 << 1500.0 << QStringLiteral("■サイズ\t\t1,500 KB");
        QTest::newRow("empty file") << 0 << 0.0 << QStringLiteral("■サイズ\t\t0 KB");
        QTest::newRow("half rounds up") << 512 << 0.5 << QStringLiteral("■サイズ\t\t1 KB");
    }

    void infoFileBox()
    {
        QFETCH(int, bytes);
        QFETCH(double, kb);
        QFETCH(QString, sizeLine);
        const QString path = at("sub/page.html");
        writeFile(path, QByteArray(bytes, 'x'));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime(QDate(2021, 3, 4), QTime(5, 6, 7)),
                                 QFileDevice::FileModificationTime));
        QVERIFY(file.setFileTime(QDateTime(QDate(2022, 11, 12), QTime(13, 14, 15)),
                                 QFileDevice::FileAccessTime));
        file.close();

        ScriptedPrompts prompts;
        ClsFSO fso(&prompts);
        fso.ShowDialog = true;
        fso.InfoFile(path);
        QCOMPARE(fso.filSize, kb);
        QCOMPARE(fso.filPath, path);
        QVERIFY(!fso.filType.isEmpty());
        QCOMPARE(prompts.count(), 1);
        const QStringList lines = prompts.messages().constFirst().text.split(Crlf);
        QCOMPARE(lines.size(), 10); // nine lines, the last one ending with CR LF too
        QCOMPARE(lines[0], QStringLiteral("■名前\t\tpage.html"));
        QCOMPARE(lines[1], QString());
        QCOMPARE(lines[2], QStringLiteral("■種類\t\t") + fso.filType);
        QCOMPARE(lines[3], QStringLiteral("■場所\t\t") + at("sub")); // the folder, not the file
        QCOMPARE(lines[4], sizeLine);
        QCOMPARE(lines[5], QString());
        QVERIFY(lines[6].startsWith(QStringLiteral("■作成日\t\t")));
        QCOMPARE(lines[7], QStringLiteral("■更新日\t\t2021/03/04 5:06"));
        QCOMPARE(lines[8], QStringLiteral("■アクセス日\t2022/11/12 13:14"));
        QCOMPARE(lines[9], QString());
    }

    void infoFolderBox()
    {
        writeFile(at("sub/one.bin"), QByteArray(1024, 'x'));
        writeFile(at("sub/.hidden"), QByteArray(2048, 'x'));
        QVERIFY(QDir().mkpath(at("sub/deeper/deepest")));
        writeFile(at("sub/deeper/two.bin"), QByteArray(1024 * 1200, 'x'));
        ScriptedPrompts prompts;
        ClsFSO fso(&prompts);
        fso.ShowDialog = true;
        fso.InfoFolder(QStringLiteral("sub/")); // relative, with a trailing separator
        QCOMPARE(fso.fldPath, at("sub"));
        QCOMPARE(fso.fldSize, 1203.0);
        QCOMPARE(fso.fldFiles, 2);
        QCOMPARE(fso.fldSubFolders, 1);
        const MessageRequest m = prompts.messages().constFirst();
        QCOMPARE(m.title, QStringLiteral("ﾌｫﾙﾀﾞ 情報"));
        const QStringList lines = m.text.split(Crlf);
        QCOMPARE(lines.size(), 12);
        QCOMPARE(
            lines.mid(0, 8),
            QStringList({QStringLiteral("■名前\t\tsub"), QStringLiteral("■種類\t\t") + fso.fldType,
                         QStringLiteral("■場所\t\t") + m_work->root(), QString(),
                         QStringLiteral("■サイズ\t\t1,203 KB"), QStringLiteral("■サブフォルダ\t1"),
                         QStringLiteral("■ファイル\t\t2"), QString()}));

        fso.InfoFolder(at("missing"));
        QCOMPARE(prompts.messages().constLast().text,
                 QStringLiteral("■名前\t\t\r\n■種類\t\t\r\n■場所\t\t\r\n\r\n■サイズ\t\t0 KB\r\n"
                                "■サブフォルダ\t0\r\n■ファイル\t\t0\r\n\r\n■作成日\t\t\r\n"
                                "■更新日\t\t\r\n■アクセス日\t\r\n"));
        QCOMPARE(fso.fldPath, QString());
    }

    void infoDriveRoot()
    {
        ScriptedPrompts prompts;
        ClsFSO fso(&prompts);
        fso.ShowDialog = true;
        fso.InfoDrive(at("a.txt"));
        const QString serial = fso.drvSerialNumber;
        fso.InfoDrive(QStringLiteral("/"));
        QCOMPARE(fso.drvDriveLetter, QStringLiteral("/"));
        QCOMPARE(fso.drvRootFolder, QStringLiteral("/"));
        QVERIFY(fso.drvIsReady);
        QVERIFY(fso.drvTotalSize > 0 && fso.drvFreeSpace <= fso.drvTotalSize);
        QVERIFY(fso.drvDriveType >= 1 && fso.drvDriveType <= 5);
        QCOMPARE(fso.drvDriveTypeName, fso::driveTypeName(fso.drvDriveType));
        bool number = false;
        fso.drvSerialNumber.toInt(&number);
        QVERIFY(number);
        QVERIFY(!fso.drvFileSystem.isEmpty());
        if (QStorageInfo(at("a.txt")).rootPath() == QStringLiteral("/"))
            QCOMPARE(fso.drvSerialNumber, serial); // same volume, same number

        QCOMPARE(prompts.count(), 2);
        const MessageRequest m = prompts.messages().constLast();
        QCOMPARE(m.title, QStringLiteral("ﾄﾞﾗｲﾌﾞ 情報"));
        QCOMPARE(m.icon, Prompt::Icon::Information);
        const QStringList lines = m.text.split(Crlf);
        QCOMPARE(lines.size(), 15);
        QCOMPARE(lines[4], QStringLiteral("■割り当て文字\t/"));
        QCOMPARE(lines[5], QStringLiteral("■ドライブ種別\t") + fso.drvDriveTypeName);
        QCOMPARE(lines[6], QStringLiteral("■シリアル番号\t") + fso.drvSerialNumber);
        QCOMPARE(lines[10], QStringLiteral("■シェアネーム\t"));
        QCOMPARE(lines[11], QStringLiteral("■ルートフォルダ\t/"));
        QCOMPARE(lines[13], QStringLiteral("※ドライブは利用できます。"));
    }

    void infoDriveNotFoundClearsFields()
    {
        ScriptedPrompts prompts;
        ClsFSO fso(&prompts);
        fso.InfoDrive(QStringLiteral("/"));
        fso.ShowDialog = true;
        fso.InfoDrive(QStringLiteral("relative/path")); // names no drive
        QCOMPARE(fso.drvTotalSize, 0.0);
        QCOMPARE(fso.drvDriveLetter, QString());
        QCOMPARE(fso.drvSerialNumber, QStringLiteral("0"));
        QCOMPARE(prompts.count(), 1);
        QCOMPARE(
            prompts.messages().constFirst().text,
            QStringLiteral("■ドライブサイズ\t0 KB\r\n■使用領域\t0 KB\r\n■空き領域\t0 KB\r\n\r\n"
                           "■割り当て文字\t\r\n■ドライブ種別\t不明なドライブ\r\n"
                           "■シリアル番号\t0\r\n\r\n■ファイルシステム\t\r\n"
                           "■ボリュームラベル\t\r\n■シェアネーム\t\r\n■ルートフォルダ\t\r\n\r\n"
                           "※ドライブの準備ができていません。\r\n"));
    }

    void driveBoxOfUnknownType()
    {
        FsoDriveFields d;
        d.drvTotalSize = 3000.0;
        d.drvFreeSpace = 1000.4;
        d.drvDriveLetter = QStringLiteral("/mnt/x");
        d.drvDriveType = 7;
        d.drvDriveTypeName = fso::driveTypeName(d.drvDriveType);
        d.drvSerialNumber = QStringLiteral("-12");
        d.drvFileSystem = QStringLiteral("exfat");
        d.drvIsReady = false;
        d.drvVolumeName = QStringLiteral("ラベル");
        d.drvShareName = QStringLiteral("//srv/share");
        d.drvRootFolder = QStringLiteral("/mnt/x");
        QCOMPARE(fso::driveInfoText(d),
                 QStringLiteral("■ドライブサイズ\t3,000 KB\r\n■使用領域\t2,000 KB\r\n"
                                "■空き領域\t1,000 KB\r\n\r\n■割り当て文字\t/mnt/x\r\n"
                                "■ドライブ種別\t不明なドライブ\r\n■シリアル番号\t-12\r\n\r\n"
                                "■ファイルシステム\texfat\r\n■ボリュームラベル\tラベル\r\n"
                                "■シェアネーム\t//srv/share\r\n■ルートフォルダ\t/mnt/x\r\n\r\n"
                                "※ドライブの準備ができていません。\r\n"));
    }

    void driveTypeNames_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("name");
        QTest::newRow("0") << 0 << QStringLiteral("不明なドライブ");
        QTest::newRow("1") << 1 << QStringLiteral("リムーバブルディスク");
        QTest::newRow("2") << 2 << QStringLiteral("ハードディスク");
        QTest::newRow("3") << 3 << QStringLiteral("ネットワークドライブ");
        QTest::newRow("4") << 4 << QStringLiteral("CD-ROM");
        QTest::newRow("5") << 5 << QStringLiteral("RAMディスク");
        QTest::newRow("6") << 6 << QStringLiteral("不明なドライブ");
        QTest::newRow("-1") << -1 << QStringLiteral("不明なドライブ");
    }

    void driveTypeNames()
    {
        QFETCH(int, type);
        QFETCH(QString, name);
        QCOMPARE(fso::driveTypeName(type), name);
    }

    void driveTypes_data()
    {
        QTest::addColumn<QByteArray>("fileSystem");
        QTest::addColumn<QString>("device");
        QTest::addColumn<bool>("removable");
        QTest::addColumn<int>("type");
        QTest::newRow("nfs") << QByteArray("nfs4") << "srv:/export" << false << 3;
        QTest::newRow("cifs") << QByteArray("cifs") << "//srv/share" << false << 3;
        QTest::newRow("sshfs") << QByteArray("fuse.sshfs") << "u@h:" << false << 3;
        QTest::newRow("iso9660") << QByteArray("iso9660") << "/dev/sr0" << true << 4;
        QTest::newRow("udf") << QByteArray("udf") << "/dev/sr0" << true << 4;
        QTest::newRow("tmpfs") << QByteArray("tmpfs") << "tmpfs" << false << 5;
        QTest::newRow("zram") << QByteArray("ext4") << "/dev/zram0" << false << 5;
        QTest::newRow("usb stick") << QByteArray("vfat") << "/dev/sdb1" << true << 1;
        QTest::newRow("disk") << QByteArray("ext4") << "/dev/sda2" << false << 2;
    }

    void driveTypes()
    {
        QFETCH(QByteArray, fileSystem);
        QFETCH(QString, device);
        QFETCH(bool, removable);
        QFETCH(int, type);
        QCOMPARE(int(fso::driveTypeFor(fileSystem, device, removable)), type);
    }

    void serialNumbersAreStable()
    {
        // FNV-1a reference values, so the numbers cannot drift between builds.
        QCOMPARE(fso::serialFromIdentity(QByteArray()), int32_t(0x811C9DC5u));
        QCOMPARE(fso::serialFromIdentity("a"), int32_t(0xE40C292Cu));
        QVERIFY(fso::serialFromIdentity("uuid:1") != fso::serialFromIdentity("uuid:2"));
    }

    void drivesAndExistence()
    {
        ScriptedPrompts prompts;
        ClsFSO fso(&prompts);
        QVERIFY(fso.fsoDriveExists(QStringLiteral("/")));
        QVERIFY(fso.fsoDriveExists(at("not/yet/there")));
        QVERIFY(!fso.fsoDriveExists(QString()));
        QVERIFY(!fso.fsoDriveExists(QStringLiteral("relative")));
        bool hasRoot = false;
        for (const QStorageInfo &d : fso.fsoDrives())
            hasRoot = hasRoot || d.rootPath() == QStringLiteral("/");
        QVERIFY(hasRoot);
        QCOMPARE(prompts.count(), 0);
    }

    void existsQueries_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("file");
        QTest::addColumn<bool>("folder");
        QTest::newRow("file") << "a.txt" << true << false;
        QTest::newRow("absolute file") << "%R/b.txt" << true << false;
        QTest::newRow("folder") << "sub" << false << true;
        QTest::newRow("folder, trailing separator") << "sub/" << false << true;
        QTest::newRow("missing") << "missing.txt" << false << false;
        QTest::newRow("empty") << "" << false << false;
    }

    void existsQueries()
    {
        QFETCH(QString, path);
        QFETCH(bool, file);
        QFETCH(bool, folder);
        path.replace(QStringLiteral("%R"), m_work->root());
        ScriptedPrompts prompts;
        ClsFSO fso(&prompts);
        QCOMPARE(fso.fsoFileExists(path), file);
        QCOMPARE(fso.fsoFolderExists(path), folder);
        QCOMPARE(prompts.count(), 0);
    }

    void listings()
    {
        writeFile(at("sub/x.htm"), "X");
        writeFile(at("sub/.y"), "Y");
        QVERIFY(QDir().mkpath(at("sub/inner")));
        ScriptedPrompts prompts;
        ClsFSO fso(&prompts);
        const auto files = fso.fsoFiles(at("sub"));
        QVERIFY(files.has_value());
        QStringList names;
        for (const QFileInfo &f : *files)
            names << f.fileName();
        QCOMPARE(names, QStringList({".y", "x.htm"}));
        const auto folders = fso.fsoFolders(QStringLiteral("sub"));
        QVERIFY(folders.has_value() && folders->size() == 1);
        QCOMPARE(folders->constFirst().fileName(), QStringLiteral("inner"));
        QCOMPARE(prompts.count(), 0);

        QVERIFY(!fso.fsoFiles(at("missing")).has_value());
        expectOnlyError(prompts, ZErr::PathNotFound);
    }
};

QTEST_GUILESS_MAIN(TestClsFSO)
#include "tst_clsfso.moc"
