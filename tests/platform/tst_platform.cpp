#include "platform/CommonDialog.h"
#include "platform/FileReplace.h"
#include "ScriptedPrompts.h"
#include "platform/StepRunner.h"
#include "widgets/Twips.h"
#include "platform/ZError.h"

#include "app/MDI_Module.h"
#include "app/Settings.h"
#include "taglib/TagLibraryFile.h"
#include "taglib/TagLibraryPath.h"
#include "tools/PictographList.h"

#include "NoFile.h"

#include <QtTest>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

class TestPlatform : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void errnoNumbers_data()
    {
        QTest::addColumn<int>("err");
        QTest::addColumn<int>("number");
        QTest::newRow("ENOENT") << ENOENT << 53;
        QTest::newRow("EEXIST") << EEXIST << 58;
        QTest::newRow("ENOSPC") << ENOSPC << 61;
        QTest::newRow("EFBIG") << EFBIG << 61;
        QTest::newRow("EACCES") << EACCES << 70;
        QTest::newRow("EROFS") << EROFS << 70;
        QTest::newRow("ENOTDIR") << ENOTDIR << 76;
        QTest::newRow("EISDIR") << EISDIR << 75;
    }
    void errnoNumbers()
    {
        QFETCH(int, err);
        QTEST(ZError::numberForErrno(err), "number");
        QTEST(ZError::fromErrorCode(std::error_code(err, std::generic_category())).number(),
              "number");
        QVERIFY(!ZError::fromErrno(err).description().isEmpty());
    }

    // Every file the program reads besides pages (those are tested as they are opened) is
    // refused when it is no file, before anything waits on it or reads without end.
    void readersRefuseWhatIsNoFile_data()
    {
        QTest::addColumn<QString>("reader");
        QTest::addColumn<QString>("kind");
        for (const char *reader : {"tag library", "tag library pointer", "pictographs", "check"})
            for (const char *kind : {"FIFO", "link to a FIFO", "folder", "link to a device"})
                QTest::newRow(qPrintable(QString(reader) + ", " + kind)) << reader << kind;
    }
    void readersRefuseWhatIsNoFile()
    {
        QFETCH(QString, reader);
        QFETCH(QString, kind);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("ImageList"));
        const QString path = reader == "tag library"           ? dir.path() + "/lib.tag"
                             : reader == "tag library pointer" ? TagLibraryPointerFile(dir.path())
                                                               : PictographList::listPath(dir.path());
        NoFile noFile;
        QVERIFY(noFile.make(kind, path));
        MDI_Module::PictographListFound = true;
        CheckPictographList(dir.path());
        const std::optional<ZErrorInfo> failure = reader == "tag library"
                                                      ? ReadTagLibraryFile(path).failure
                                                      : PictographList::read(path).failure;
        if (reader == "tag library pointer")
            QCOMPARE(LoadTagLibraryPath(dir.path()), DefaultTagLibraryFile(dir.path()));
        else if (reader == "check")
            QVERIFY(!MDI_Module::PictographListFound);
        else
            QVERIFY(failure && failure->number == ZErr::PathFileAccess &&
                    failure->description.contains(path));
    }

    // The temporary files a killed save left go at the next save in their folder; one that a
    // running save holds (locked), the copy of a page's old content, or a link stay.
    void leftoverTemporariesGoAtTheNextSave_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("removed");
        QTest::newRow("left by a kill") << ".zemlo-0a1b2c.tmp" << "file" << true;
        QTest::newRow("held by a running save") << ".zemlo-0a1b2c.tmp" << "locked" << false;
        QTest::newRow("a page's old content") << ".zemlo-0a1b2c.old" << "file" << false;
        QTest::newRow("another name") << ".zemlo-notmine.tmp" << "file" << false;
        QTest::newRow("a link") << ".zemlo-0a1b2c.tmp" << "link" << false;
    }
    void leftoverTemporariesGoAtTheNextSave()
    {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(bool, removed);
        QTemporaryDir dir;
        const QString path = dir.filePath(name), other = dir.filePath("other");
        QFile file(kind == "link" ? other : path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("cut short") == 9);
        file.close();
        if (kind == "link")
            QVERIFY(QFile::link(other, path));
        const int held = ::open(QFile::encodeName(path).constData(), O_RDONLY);
        QVERIFY(held >= 0);
        if (kind == "locked")
            QCOMPARE(::flock(held, LOCK_EX), 0);
        QVERIFY(!ReplaceFileContent(dir.filePath("page.html"), "saved"));
        ::close(held);
        QCOMPARE(!QFileInfo(path).isSymLink() && !QFileInfo::exists(path), removed);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(),
                 kind == "link" ? 3 : removed ? 1 : 2);
    }

    void stepRunnerKeepsTheLastFailureAndGoesOn()
    {
        StepRunner steps;
        int ran = 0;
        QVERIFY(steps.run([&] { ++ran; }));
        QVERIFY(!steps.failed());
        QVERIFY(!steps.run([&] { throw ZError(53); }));
        QVERIFY(steps.run([&] { ++ran; }));
        QVERIFY(!steps.run([&] { throw ZError(70); }));
        QVERIFY(!steps.run([&] { throw std::runtime_error("x"); }));
        QCOMPARE(ran, 2);
        QVERIFY(steps.failed());
        QCOMPARE(steps.lastError()->number, int(ZErr::InvalidCall));
        steps.clear();
        QVERIFY(!steps.failed());
    }

    void twips()
    {
        QCOMPARE(Twips::toPixels(3060, 96.0), 204);
        QCOMPARE(Twips::toPixels(2640, 96.0), 176);
        QCOMPARE(Twips::toPixels(30, 96.0), 2);
        QCOMPARE(Twips::toPixels(1440, 144.0), 144);
        QCOMPARE(Twips::fromPixels(204, 96.0), 3060);
    }

    void filterForm_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("qt");
        QTest::newRow("open") << "HTML,HTM|*.html;*.htm|JSP,ASP|*.jsp;*.asp|LBI|*.lbi|*.*|*.*"
                              << QStringList{"HTML,HTM (*.html *.htm)", "JSP,ASP (*.jsp *.asp)",
                                             "LBI (*.lbi)", "*.* (*)"};
        QTest::newRow("template") << "TMP|*.tmp|*.*|*.*"
                                  << QStringList{"TMP (*.tmp)", "*.* (*)"};
        QTest::newRow("odd count drops the lone description") << "TAG|*.tag|X"
                                                              << QStringList{"TAG (*.tag)"};
        QTest::newRow("empty") << "" << QStringList();
    }
    void filterForm()
    {
        QFETCH(QString, filter);
        QTEST(CommonDialog::qtFilters(filter), "qt");
    }

    void dialogSettingsCarryOverAndCancelFails()
    {
        ScriptedPrompts prompts;
        CommonDialog dialog(&prompts);
        dialog.Filter = "TMP|*.tmp|*.*|*.*";
        dialog.Flags = CommonDialog::OverwritePrompt;
        dialog.InitDir = "/templates";
        dialog.DefaultExt = "html";
        prompts.answerFile(QString("/templates/a.tmp"));
        dialog.ShowSave();
        QCOMPARE(dialog.FileName, QString("/templates/a.tmp"));
        // The next use finds the last file name and folder as they were left.
        dialog.Filter = "HTML,HTM|*.html;*.htm";
        prompts.answerFile(std::nullopt);
        bool cancelled = false;
        try {
            dialog.ShowOpen();
        } catch (const ZError &e) {
            cancelled = e.number() == ZErr::DialogCancelled;
        }
        QVERIFY(cancelled);
        QCOMPARE(dialog.FileName, QString("/templates/a.tmp"));
        QCOMPARE(prompts.shown().size(), 2);
        const FileDialogRequest &save = prompts.shown().at(0).file;
        QCOMPARE(save.kind, FileDialogKind::Save);
        QVERIFY(save.overwritePrompt);
        QCOMPARE(save.defaultSuffix, QString("html"));
        const FileDialogRequest &open = prompts.shown().at(1).file;
        QCOMPARE(open.kind, FileDialogKind::Open);
        QCOMPARE(open.fileName, QString("/templates/a.tmp"));
        QCOMPARE(open.initialFolder, QString("/templates"));
        QCOMPARE(open.nameFilters, QStringList{"HTML,HTM (*.html *.htm)"});
    }

    void scriptedPromptsRecordAndAnswer()
    {
        ScriptedPrompts prompts;
        // Unanswered: the first button.
        QCOMPARE(prompts.message("q", Prompt::Buttons::YesNoCancel, Prompt::Icon::Information, "t"),
                 Prompt::Answer::Yes);
        prompts.answer(Prompt::Answer::Cancel);
        QCOMPARE(prompts.message("r", Prompt::Buttons::OkCancel, Prompt::Icon::Exclamation, "u"),
                 Prompt::Answer::Cancel);
        QCOMPARE(prompts.input({"p", "t", "d"}), QString());
        QCOMPARE(prompts.messages().size(), 2);
        QCOMPARE(prompts.messages().at(1).text, QString("r"));
        QCOMPARE(prompts.messages().at(1).icon, Prompt::Icon::Exclamation);
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
