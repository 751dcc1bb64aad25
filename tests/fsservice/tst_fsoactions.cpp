#include "FsoTestSupport.h"
#include "fsservice/ClsFSO.h"
#include "fsservice/FsoOps.h"

#include <memory>
#include <sys/stat.h>

using Prompt::Answer;

Q_DECLARE_METATYPE(Answer)

namespace {

// Runs one action member by name, with arguments that change the work folder when done.
void runMember(ClsFSO &fso, const QString &member)
{
    if (member == u"fsoFileReName")
        fso.fsoFileReName(QStringLiteral("a.txt"), QStringLiteral("new name.txt"));
    else if (member == u"fsoFileDelete")
        fso.fsoFileDelete(QStringLiteral("sub/../a.txt"), false);
    else if (member == u"fsoFileMove")
        fso.fsoFileMove(QStringLiteral("a.txt"), QStringLiteral("sub/"));
    else if (member == u"fsoFileCopy")
        fso.fsoFileCopy(QStringLiteral("a.txt"), QStringLiteral("sub/"), true);
    else if (member == u"fsoFolderReName")
        fso.fsoFolderReName(QStringLiteral("sub"), QStringLiteral("renamed"));
    else if (member == u"fsoFolderDelete")
        fso.fsoFolderDelete(QStringLiteral("./sub"), true);
    else if (member == u"fsoFolderCreate")
        fso.fsoFolderCreate(QStringLiteral("new"));
    else if (member == u"fsoFolderMove")
        fso.fsoFolderMove(QStringLiteral("sub"), QStringLiteral("moved"));
    else if (member == u"fsoFolderCopy")
        fso.fsoFolderCopy(QStringLiteral("sub"), QStringLiteral("copied"), false);
    else
        QFAIL(qPrintable(member));
}

} // namespace

// The action members: confirmations, operations and their error boxes.
class TestFsoActions : public QObject
{
    Q_OBJECT

    std::unique_ptr<FsoWorkFolder> m_work;
    QString at(const QString &rel) const { return m_work->at(rel); }
    static QByteArray read(const QString &path) { return FsoWorkFolder::read(path); }

private slots:
    void init()
    {
        m_work = std::make_unique<FsoWorkFolder>();
        QVERIFY(m_work->isValid());
    }

    void cleanup() { m_work.reset(); }

    void confirmations_data()
    {
        QTest::addColumn<QString>("text"); // %R stands for the work folder
        QTest::addColumn<QString>("title");
        QTest::newRow("fsoFileReName")
            << QStringLiteral("%R/a.txt\r\n\r\n上記のファイル名を new name.txt へ変更します。")
            << QStringLiteral("名前の変更");
        QTest::newRow("fsoFileDelete")
            << QStringLiteral("%R/a.txt\r\n\r\n上記のファイルを削除します。")
            << QStringLiteral("ﾌｧｲﾙの削除");
        QTest::newRow("fsoFileMove")
            << QStringLiteral("移動元：%R/a.txt\r\n移動先：%R/sub/\r\n\r\nファイルを移動します。")
            << QStringLiteral("ﾌｧｲﾙの移動");
        QTest::newRow("fsoFileCopy")
            << QStringLiteral(
                   "コピー元：%R/a.txt\r\nコピー先：%R/sub/\r\n\r\nファイルをコピーします。")
            << QStringLiteral("ﾌｧｲﾙのｺﾋﾟｰ");
        QTest::newRow("fsoFolderReName")
            << QStringLiteral("%R/sub\r\n\r\n上記のフォルダ名を renamed へ変更します。")
            << QStringLiteral("名前の変更");
        QTest::newRow("fsoFolderDelete")
            << QStringLiteral("%R/sub\r\n\r\n上記のフォルダを削除します。")
            << QStringLiteral("ﾌｫﾙﾀﾞの削除");
        QTest::newRow("fsoFolderCreate")
            << QStringLiteral("%R/new\r\n\r\n上記のフォルダを作成します。")
            << QStringLiteral("ﾌｫﾙﾀﾞの作成");
        QTest::newRow("fsoFolderMove")
            << QStringLiteral("移動元：%R/sub\r\n移動先：%R/moved\r\n\r\nフォルダを移動します。")
            << QStringLiteral("ﾌｫﾙﾀﾞの移動");
        QTest::newRow("fsoFolderCopy")
            << QStringLiteral(
                   "コピー元：%R/sub\r\nコピー先：%R/copied\r\n\r\nフォルダをコピーします。")
            << QStringLiteral("ﾌｫﾙﾀﾞのｺﾋﾟｰ");
    }

    // Cancel leaves everything as it was and shows nothing more; OK carries the action out.
    void confirmations()
    {
        QFETCH(QString, text);
        QFETCH(QString, title);
        const QString member = QString::fromLatin1(QTest::currentDataTag());
        const QStringList before = m_work->snapshot();

        ScriptedPrompts prompts;
        ClsFSO fso(&prompts);
        fso.ShowDialog = true;
        prompts.answer(Answer::Cancel);
        runMember(fso, member);
        QCOMPARE(prompts.count(), 1);
        const MessageRequest m = prompts.messages().constFirst();
        QCOMPARE(m.text, text.replace(QStringLiteral("%R"), m_work->root()));
        QCOMPARE(m.title, title);
        QCOMPARE(m.icon, Prompt::Icon::Information);
        QCOMPARE(m.buttons, Prompt::Buttons::OkCancel);
        QCOMPARE(m_work->snapshot(), before);

        prompts.clear();
        prompts.answer(Answer::Ok);
        runMember(fso, member);
        QCOMPARE(prompts.count(), 1); // the question, and no error box
        QVERIFY(m_work->snapshot() != before);
    }

    void cancelledFolderCreation()
    {
        ScriptedPrompts prompts;
        ClsFSO fso(&prompts);
        fso.ShowDialog = true;
        prompts.answer(Answer::Cancel);
        fso.fsoFolderCreate(at("sub/new"));
        QVERIFY(!QFileInfo::exists(at("sub/new")));
        QCOMPARE(prompts.count(), 1);
        QCOMPARE(prompts.messages().constFirst().title, QStringLiteral("ﾌｫﾙﾀﾞの作成"));
    }

    void fileCopy_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("destination");
        QTest::addColumn<bool>("overwrite");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("check");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("onto existing") << "a.txt"
                                       << "b.txt" << false << 58 << "b.txt" << QByteArray("B");
        QTest::newRow("overwrite") << "a.txt"
                                   << "b.txt" << true << 0 << "b.txt" << QByteArray("A");
        QTest::newRow("new name") << "a.txt"
                                  << "n.txt" << false << 0 << "n.txt" << QByteArray("A");
        QTest::newRow("into folder") << "a.txt"
                                     << "sub/" << false << 0 << "sub/a.txt" << QByteArray("A");
        QTest::newRow("onto a folder")
            << "a.txt"
            << "sub" << true << 75 << "sub/a.txt" << QByteArray("<missing>");
        QTest::newRow("onto itself") << "a.txt"
                                     << "./a.txt" << true << 58 << "a.txt" << QByteArray("A");
        QTest::newRow("onto read-only") << "a.txt"
                                        << "ro.txt" << true << 70 << "ro.txt" << QByteArray("R");
        QTest::newRow("missing source")
            << "x.txt"
            << "y.txt" << false << 53 << "y.txt" << QByteArray("<missing>");
        QTest::newRow("missing folder")
            << "a.txt"
            << "no/y.txt" << false << 76 << "no/y.txt" << QByteArray("<missing>");
        QTest::newRow("wildcard") << "?.txt"
                                  << "sub" << false << 0 << "sub/b.txt" << QByteArray("B");
        QTest::newRow("wildcard, no match")
            << "*.xyz"
            << "sub/" << false << 53 << "sub/a.txt" << QByteArray("<missing>");
        const QString longest = QString(251, u'n') + ".txt"; // as long as a name can be
        QTest::newRow("longest name") << "a.txt" << longest << false << 0 << longest
                                      << QByteArray("A");
        // A link is replaced itself: what it points to, which may lie anywhere, is never
        // written through it.
        QTest::newRow("onto a link") << "a.txt" << "link.txt" << true << 0 << "link.txt"
                                     << QByteArray("A");
        QTest::newRow("onto a link, no overwrite") << "a.txt" << "link.txt" << false << 58
                                                   << "link.txt" << QByteArray("O");
    }

    void fileCopy()
    {
        QFETCH(QString, source);
        QFETCH(QString, destination);
        QFETCH(bool, overwrite);
        QFETCH(int, error);
        QFETCH(QString, check);
        QFETCH(QByteArray, content);
        const QString outside = QFileInfo(m_work->root()).path() + "/outside.txt";
        const bool link = QTest::currentDataTag() == QByteArray("onto a link");
        QVERIFY(FsoWorkFolder::write(outside, "O") && FsoWorkFolder::makeReadOnly(outside));
        QVERIFY(!destination.startsWith("link") || QFile::link(outside, at(destination)));
        ScriptedPrompts prompts;
        ClsFSO fso(&prompts);
        fso.fsoFileCopy(source, destination, overwrite);
        expectOnlyError(prompts, error);
        QCOMPARE(read(at(check)), content);
        QCOMPARE(read(outside), QByteArray("O"));
        QCOMPARE(QFileInfo(at(check)).isSymLink(), destination.startsWith("link") && !link);
        QCOMPARE(read(at("a.txt")), QByteArray("A"));
        if (QTest::currentDataTag() == QByteArrayLiteral("wildcard")) {
            QCOMPARE(read(at("sub/a.txt")), QByteArray("A"));
            QVERIFY(!QFileInfo::exists(at("sub/ro.txt")));
        }
    }

    void existingFileErrorText()
    {
        ScriptedPrompts prompts;
        ClsFSO fso(&prompts);
        fso.fsoFileCopy(at("a.txt"), at("b.txt"), false);
        QCOMPARE(prompts.messages().constFirst().text,
                 QStringLiteral("ErrorCode : 58\r\n\r\n同じ名前のファイルが既に存在します。"));
    }

    void fileDeleteReadOnly()
    {
        // Running as root, the system would delete anything: the refusal is the program's.
        QVERIFY(fso::isReadOnly(at("ro.txt")));
        QVERIFY(!fso::isReadOnly(at("a.txt")));
        ScriptedPrompts prompts;
        ClsFSO fso(&prompts);
        fso.fsoFileDelete(QStringLiteral("ro.txt"), false);
        expectOnlyError(prompts, ZErr::PermissionDenied);
        QCOMPARE(read(at("ro.txt")), QByteArray("R"));

        prompts.clear();
        fso.fsoFileDelete(QStringLiteral("ro.txt"), true);
        expectOnlyError(prompts, 0);
        QVERIFY(!QFileInfo::exists(at("ro.txt")));

        fso.fsoFileDelete(QStringLiteral("*.htm"), false);
        expectOnlyError(prompts, 0);
        QVERIFY(!QFileInfo::exists(at("c.htm")));
        QVERIFY(QFileInfo::exists(at("a.txt")));

        fso.fsoFileDelete(QStringLiteral("sub"), true); // a folder is not a file
        expectOnlyError(prompts, ZErr::FileNotFound);
        QVERIFY(QFileInfo::exists(at("sub")));
    }

    void folderDeleteReadOnlyContent()
    {
        QVERIFY(QDir().mkpath(at("sub/inner")));
        QVERIFY(FsoWorkFolder::write(at("sub/keep.txt"), "K"));
        QVERIFY(FsoWorkFolder::write(at("sub/inner/ro2.txt"), "R"));
        QVERIFY(FsoWorkFolder::makeReadOnly(at("sub/inner/ro2.txt")));
        ScriptedPrompts prompts;
        ClsFSO fso(&prompts);
        fso.fsoFolderDelete(QStringLiteral("sub"), false);
        expectOnlyError(prompts, ZErr::PermissionDenied);
        QCOMPARE(read(at("sub/keep.txt")), QByteArray("K")); // refused as a whole
        QCOMPARE(read(at("sub/inner/ro2.txt")), QByteArray("R"));

        prompts.clear();
        fso.fsoFolderDelete(QStringLiteral("sub/"), true);
        expectOnlyError(prompts, 0);
        QVERIFY(!QFileInfo::exists(at("sub")));

        fso.fsoFolderDelete(QStringLiteral("sub"), true);
        expectOnlyError(prompts, ZErr::PathNotFound);
    }

    // A link to a folder elsewhere is removed alone, forced or not: the folder it points to
    // keeps its modes and its read-only content, and has no say in the deletion.
    void folderDeleteOfLinkRemovesLinkOnly_data()
    {
        QTest::addColumn<QString>("named");
        QTest::addColumn<bool>("force");
        for (const bool force : {false, true}) {
            const QString forced = force ? ", forced" : "";
            QTest::newRow(qPrintable("link" + forced)) << "link" << force;
            QTest::newRow(qPrintable("link/" + forced)) << "link/" << force;
            QTest::newRow(qPrintable("wildcard" + forced)) << "l?nk" << force;
        }
    }
    void folderDeleteOfLinkRemovesLinkOnly()
    {
        QFETCH(QString, named);
        QFETCH(bool, force);
        const QString target = QFileInfo(m_work->root()).path() + "/kept";
        QVERIFY(QDir().mkpath(target + "/inner"));
        QVERIFY(FsoWorkFolder::write(target + "/inner/ro.txt", "R"));
        QVERIFY(FsoWorkFolder::makeReadOnly(target + "/inner/ro.txt"));
        QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::ExeOwner)); // 500
        QVERIFY(QFile::link(target, at("link")));
        ScriptedPrompts prompts;
        ClsFSO fso(&prompts);
        fso.fsoFolderDelete(named, force);
        expectOnlyError(prompts, 0);
        QVERIFY(!QFileInfo(at("link")).isSymLink());
        struct stat st
        {
        };
        QCOMPARE(::stat(QFile::encodeName(target).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, mode_t(0500));
        QCOMPARE(read(target + "/inner/ro.txt"), QByteArray("R"));
    }

    // An empty path is no path: it must not become the current folder and be acted on.
    void emptyPathsAreRefused_data()
    {
        QTest::addColumn<bool>("showDialog");
        QTest::newRow("quiet") << false;
        QTest::newRow("with confirmation") << true;
    }

    void emptyPathsAreRefused()
    {
        QFETCH(bool, showDialog);
        const QStringList before = m_work->snapshot();
        ScriptedPrompts prompts;
        ClsFSO fso(&prompts);
        fso.ShowDialog = showDialog;
        fso.fsoFolderDelete(QString(), true);
        expectOnlyError(prompts, ZErr::PathFileAccess); // no question asked either
        prompts.clear();
        fso.fsoFolderCopy(QString(), QStringLiteral("sub/"), true);
        expectOnlyError(prompts, ZErr::PathFileAccess);
        prompts.clear();
        fso.fsoFileMove(QStringLiteral("a.txt"), QString());
        expectOnlyError(prompts, ZErr::PathFileAccess);
        QCOMPARE(m_work->snapshot(), before);
    }

    void folderCopy()
    {
        QVERIFY(QDir().mkpath(at("sub/inner")));
        QVERIFY(FsoWorkFolder::write(at("sub/inner/x.htm"), "X"));
        ScriptedPrompts prompts;
        ClsFSO fso(&prompts);
        fso.fsoFolderCopy(QStringLiteral("sub"), QStringLiteral("copied"), false);
        expectOnlyError(prompts, 0);
        QCOMPARE(read(at("copied/inner/x.htm")), QByteArray("X"));

        // A conflict found anywhere stops the copy before anything is copied.
        QVERIFY(FsoWorkFolder::write(at("sub/inner/x.htm"), "X2"));
        QVERIFY(FsoWorkFolder::write(at("sub/fresh.txt"), "F"));
        fso.fsoFolderCopy(QStringLiteral("sub"), QStringLiteral("copied"), false);
        expectOnlyError(prompts, ZErr::FileExists);
        QVERIFY(!QFileInfo::exists(at("copied/fresh.txt")));
        QCOMPARE(read(at("copied/inner/x.htm")), QByteArray("X"));

        prompts.clear();
        fso.fsoFolderCopy(QStringLiteral("sub"), QStringLiteral("copied"), true);
        expectOnlyError(prompts, 0);
        QCOMPARE(read(at("copied/inner/x.htm")), QByteArray("X2"));
        QCOMPARE(read(at("copied/fresh.txt")), QByteArray("F"));

        fso.fsoFolderCopy(QStringLiteral("s*"), QStringLiteral("copied/"), false);
        expectOnlyError(prompts, 0);
        QCOMPARE(read(at("copied/sub/fresh.txt")), QByteArray("F"));

        // Into itself would never end.
        const QStringList before = m_work->snapshot();
        fso.fsoFolderCopy(QStringLiteral("sub"), QStringLiteral("sub/inner/"), true);
        expectOnlyError(prompts, ZErr::PathFileAccess);
        QCOMPARE(m_work->snapshot(), before);
    }

    void moves()
    {
        ScriptedPrompts prompts;
        ClsFSO fso(&prompts);
        fso.fsoFileMove(QStringLiteral("a.txt"), QStringLiteral("b.txt"));
        expectOnlyError(prompts, ZErr::FileExists);
        QCOMPARE(read(at("a.txt")), QByteArray("A"));
        QCOMPARE(read(at("b.txt")), QByteArray("B"));

        prompts.clear();
        fso.fsoFileMove(QStringLiteral("a.txt"), QStringLiteral("sub/"));
        fso.fsoFileMove(QStringLiteral("*.htm"), QStringLiteral("sub"));
        expectOnlyError(prompts, 0);
        QCOMPARE(read(at("sub/a.txt")), QByteArray("A"));
        QCOMPARE(read(at("sub/c.htm")), QByteArray("C"));
        QVERIFY(!QFileInfo::exists(at("a.txt")));

        fso.fsoFolderMove(QStringLiteral("sub"), QStringLiteral("moved"));
        expectOnlyError(prompts, 0);
        QCOMPARE(read(at("moved/c.htm")), QByteArray("C"));
        QVERIFY(!QFileInfo::exists(at("sub")));

        QVERIFY(QDir().mkpath(at("other")));
        fso.fsoFolderMove(QStringLiteral("moved"), QStringLiteral("other"));
        expectOnlyError(prompts, ZErr::FileExists);
        prompts.clear();
        fso.fsoFolderMove(QStringLiteral("moved"), QStringLiteral("moved/deeper"));
        expectOnlyError(prompts, ZErr::PathFileAccess);
        QCOMPARE(read(at("moved/a.txt")), QByteArray("A"));
    }

    void renames_data()
    {
        QTest::addColumn<bool>("folder");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("newName");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("expected"); // exists afterwards
        QTest::newRow("file") << false << "a.txt"
                              << "z.txt" << 0 << "z.txt";
        QTest::newRow("same name") << false << "a.txt"
                                   << "a.txt" << 0 << "a.txt";
        QTest::newRow("taken") << false << "a.txt"
                               << "b.txt" << 58 << "a.txt";
        QTest::newRow("not a name") << false << "a.txt"
                                    << "sub/z.txt" << 75 << "a.txt";
        QTest::newRow("parent") << false << "a.txt"
                                << ".." << 75 << "a.txt";
        QTest::newRow("empty") << false << "a.txt"
                               << "" << 75 << "a.txt";
        QTest::newRow("missing file") << false << "x.txt"
                                      << "z.txt" << 53 << "a.txt";
        QTest::newRow("folder as file") << false << "sub"
                                        << "z" << 53 << "sub";
        QTest::newRow("folder") << true << "sub"
                                << "dir2" << 0 << "dir2";
        QTest::newRow("folder, separator") << true << "sub/"
                                           << "dir2" << 0 << "dir2";
        QTest::newRow("missing folder") << true << "none"
                                        << "dir2" << 76 << "sub";
        QTest::newRow("file as folder") << true << "a.txt"
                                        << "dir2" << 76 << "a.txt";
    }

    void renames()
    {
        QFETCH(bool, folder);
        QFETCH(QString, path);
        QFETCH(QString, newName);
        QFETCH(int, error);
        QFETCH(QString, expected);
        ScriptedPrompts prompts;
        ClsFSO fso(&prompts);
        if (folder)
            fso.fsoFolderReName(path, newName);
        else
            fso.fsoFileReName(path, newName);
        expectOnlyError(prompts, error);
        QVERIFY(QFileInfo::exists(at(expected)));
        QCOMPARE(m_work->snapshot().size(), 5);
    }

    void volumeName_data()
    {
        QTest::addColumn<bool>("showDialog");
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<QString>("drive");
        QTest::addColumn<QString>("driveAfter");
        QTest::addColumn<int>("error");
        QTest::newRow("empty, OK") << true << Answer::Ok << ""
                                   << "/" << 5;
        QTest::newRow("empty, Cancel") << true << Answer::Cancel << ""
                                       << "/" << 0;
        QTest::newRow("quiet") << false << Answer::Ok << "/"
                               << "/" << 5;
        QTest::newRow("no drive") << false << Answer::Ok << "relative"
                                  << "relative" << 75;
    }

    // Labels cannot be changed here: the member says so instead of pretending.
    void volumeName()
    {
        QFETCH(bool, showDialog);
        QFETCH(Answer, answer);
        QFETCH(QString, drive);
        QFETCH(QString, driveAfter);
        QFETCH(int, error);
        ScriptedPrompts prompts;
        ClsFSO fso(&prompts);
        fso.ShowDialog = showDialog;
        prompts.answer(answer);
        fso.fsoVolumeName(drive, QStringLiteral("LABEL"));
        QCOMPARE(drive, driveAfter);
        QList<MessageRequest> shown = prompts.messages();
        if (showDialog) {
            QVERIFY(!shown.isEmpty());
            const MessageRequest q = shown.takeFirst();
            QCOMPARE(q.text, QStringLiteral("/ドライブのボリュームラベルを変更します。"));
            QCOMPARE(q.title, QStringLiteral("確認"));
            QCOMPARE(q.buttons, Prompt::Buttons::OkCancel);
            QCOMPARE(q.icon, Prompt::Icon::Information);
        }
        QCOMPARE(shown.size(), error ? 1 : 0);
        if (error)
            QCOMPARE(shown.constFirst().text, fsoErrorText(error));
    }
};

QTEST_GUILESS_MAIN(TestFsoActions)
#include "tst_fsoactions.moc"
