#include "DocumentTestSupport.h"
#include "ZemloTestMain.h"

#include "app/Settings.h"
#include "app/StatusPanels.h"
#include "documents/CharacterReferences.h"
#include "documents/OpenDocument.h"

#include <QDir>
#include <QFileInfo>
#include <csignal>
#include <memory>
#include <sys/resource.h>

using namespace doctest;

namespace {
const QString saveQuestion = QStringLiteral("編集内容を保存します。");
const QString sizeQuestion = QStringLiteral("ファイルサイズが 5KB を超えています。継続しますか？");

Msg confirmation(const QString &name)
{
    return {name + crlf + saveQuestion, Prompt::Buttons::OkCancel, Prompt::Icon::Information,
            QStringLiteral("保存")};
}

Msg sizeWarning(const QString &name)
{
    return {name + crlf + sizeQuestion, Prompt::Buttons::OkCancel, Prompt::Icon::Information,
            QStringLiteral("確認")};
}

Msg errorBox(int number, const QString &description)
{
    return {QStringLiteral("Error %1").arg(number) + crlf + description, Prompt::Buttons::Ok,
            Prompt::Icon::Information, QStringLiteral("Error")};
}

Msg referencesQuestion(const QString &name, const QString &named)
{
    return {
        name + crlf + QStringLiteral("Shift-JIS で保存できない文字が含まれています。\r\n") + named +
            QStringLiteral(
                "\r\n\r\nこれらの文字を数値文字参照（&#番号;）に置き換えて保存を継続しますか？"),
        Prompt::Buttons::OkCancel, Prompt::Icon::Information, QStringLiteral("確認")};
}

// A file-size limit for this process while it lives: writes past it fail instead of
// raising the signal, as on a full disk.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        m_ok = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool ok() const { return m_ok; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_ok = false;
};
} // namespace

class TestSaving : public QObject
{
    Q_OBJECT
    std::unique_ptr<MainWindowFixture> f;
    ScriptedPrompts &prompts() { return f->prompts; }
    MDI_Main &main() { return *f->window; }

    // A page on disk opened as the active document.
    Form_Editer *openPage(const QString &name, const QByteArray &bytes)
    {
        return f->openPage(name, bytes);
    }

private Q_SLOTS:
    void initTestCase() { f = std::make_unique<MainWindowFixture>(); }
    void cleanupTestCase() { f.reset(); }
    void cleanup()
    {
        closeAllQuietly(main());
        QVERIFY2(!prompts().pendingAnswers(), "a scripted answer was not asked for");
        prompts().clear();
    }

    void unwritableCharactersAreFoundAndNamed_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("references");
        QTest::addColumn<QString>("named");
        const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80");
        QTest::newRow("none") << QString::fromUtf8("日本ｱ①\uE000") << QStringList{} << "";
        QTest::newRow("once per character")
            << "a" + smile + "b" + smile << QStringList{"&#128512;", "&#128512;"}
            << "「" + smile + "」(U+1F600)";
        QTest::newRow("invisible")
            << QString::fromUtf8("x\u200By") << QStringList{"&#8203;"} << "「\u200B」(U+200B)";
        QString many;
        QStringList refs, names;
        for (char16_t c = 0x0100; c < 0x010C; ++c) { // Latin letters code page 932 lacks
            many += QChar(c);
            refs << QString("&#%1;").arg(int(c));
            if (names.size() < 10)
                names << QString("「%1」(U+%2)")
                             .arg(QChar(c), QString::number(int(c), 16)
                                                .toUpper()
                                                .rightJustified(4, QChar('0')));
        }
        QTest::newRow("more than ten") << many << refs << names.join("、") + " ほか 2 文字";
    }
    void unwritableCharactersAreFoundAndNamed()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, references);
        QFETCH(QString, named);
        const QList<CharacterReference> found = UnwritableCharacters(text, {});
        QStringList got;
        for (const CharacterReference &r : found)
            got << r.reference;
        QCOMPARE(got, references);
        QCOMPARE(NameCharacters(text, found), named);
    }

    void sizeCheckReadsTheSizePanel_data()
    {
        QTest::addColumn<QString>("panel");
        QTest::addColumn<bool>("warns");
        QTest::newRow("4.99") << "4.99 KB" << false;
        QTest::newRow("5") << "5 KB" << false;
        QTest::newRow("5.00") << "5.00 KB" << false;
        QTest::newRow("5.01") << "5.01 KB" << true;
        QTest::newRow("12.30") << "12.30 KB" << true;
    }
    void sizeCheckReadsTheSizePanel()
    {
        QFETCH(QString, panel);
        QFETCH(bool, warns);
        Form_Editer *doc = openPage("size.html", "<p>small</p>\r\n");
        const QString name = doc->HtmlName();
        type(doc, "x");
        // The panel, not the text, decides: the page itself is tiny.
        main().StatusBar1->setPanelText(2, panel);
        if (warns)
            prompts().answer(Prompt::Answer::Ok);
        prompts().answer(Prompt::Answer::Ok);
        main().runCommand(Cmd::m_msave);
        QList<Msg> expected;
        if (warns)
            expected << sizeWarning(name);
        expected << confirmation(name);
        compareMessages(prompts(), expected);
        QCOMPARE(readFile(name), QByteArray("x<p>small</p>\r\n"));
        QCOMPARE(doc->EditerFr, 2);
    }

    void cancelledWarningOrConfirmationWritesNothing_data()
    {
        QTest::addColumn<QString>("panel");
        QTest::newRow("size warning") << "5.01 KB";
        QTest::newRow("confirmation") << "1 KB";
    }
    void cancelledWarningOrConfirmationWritesNothing()
    {
        QFETCH(QString, panel);
        Form_Editer *doc = openPage("keep.html", "old\r\n");
        type(doc, "new ");
        main().StatusBar1->setPanelText(2, panel);
        prompts().answer(Prompt::Answer::Cancel);
        main().runCommand(Cmd::m_msave);
        QCOMPARE(prompts().count(), 1);
        QCOMPARE(readFile(doc->HtmlName()), QByteArray("old\r\n"));
        QCOMPARE(doc->EditerFr, 3);
    }

    void saveAsksEveryTimeAndUnmodifies()
    {
        Form_Editer *doc = openPage("again.html", "a\r\n");
        main().StatusBar1->setPanelText(2, "0.01 KB");
        prompts().answer(Prompt::Answer::Ok);
        main().runCommand(Cmd::m_msave);
        compareMessages(prompts(), {confirmation(doc->HtmlName())});
        QCOMPARE(doc->EditerFr, 2);
    }

    void newDocumentSaveGoesThroughSaveAs()
    {
        main().runCommand(Cmd::m_mnew);
        Form_Editer *doc = main().activeDocument();
        type(doc, "page");
        main().StatusBar1->setPanelText(2, "5.01 KB");
        const QString target = f->path("named.html");
        prompts().answer(Prompt::Answer::Ok); // size warning
        prompts().answer(Prompt::Answer::Ok); // confirmation
        prompts().answerFile(target);
        prompts().answer(Prompt::Answer::Ok); // size warning again, still the old name
        main().runCommand(Cmd::m_msave);
        const QString fresh = Form_Editer::NewFileName;
        compareMessages(prompts(), {sizeWarning(fresh), confirmation(fresh), sizeWarning(fresh)});
        const auto &shown = prompts().shown();
        QCOMPARE(shown.size(), 4);
        QCOMPARE(shown.at(2).kind, ScriptedPrompts::Shown::File);
        const FileDialogRequest &dialog = shown.at(2).file;
        QVERIFY(dialog.kind == FileDialogKind::Save);
        QCOMPARE(dialog.fileName, fresh);
        QVERIFY(dialog.overwritePrompt);
        QCOMPARE(dialog.defaultSuffix, QString("html"));
        QCOMPARE(dialog.nameFilters,
                 (QStringList{"HTML,HTM (*.html *.htm)", "JSP,ASP (*.jsp *.asp)", "LBI (*.lbi)",
                              "TMP (*.tmp)", "*.* (*)"}));
        QCOMPARE(doc->HtmlName(), target);
        QCOMPARE(caption(doc), target);
        QCOMPARE(doc->EditerFr, 2);
        QCOMPARE(readFile(target), QByteArray("page"));
    }

    void cancelledSaveAsOfNewDocumentStaysModified()
    {
        main().runCommand(Cmd::m_mnew);
        Form_Editer *doc = main().activeDocument();
        type(doc, "ab");
        QCOMPARE(doc->EditerFr, 3);
        main().StatusBar1->setPanelText(2, "0.01 KB");
        prompts().answer(Prompt::Answer::Ok);
        prompts().answerFile(std::nullopt);
        main().runCommand(Cmd::m_msave);
        QCOMPARE(prompts().count(), 2); // confirmation and dialog, no error box
        QCOMPARE(doc->EditerFr, 3);
        QCOMPARE(doc->HtmlName(), Form_Editer::NewFileName);
    }

    void failedSaveKeepsTheDocumentModified()
    {
        QVERIFY(QDir(f->dir.path()).mkdir("gone"));
        Form_Editer *doc = openPage("gone/page.html", "a\r\n");
        type(doc, "b");
        QVERIFY(QDir(f->path("gone")).removeRecursively());
        main().StatusBar1->setPanelText(2, "0.01 KB");
        prompts().answer(Prompt::Answer::Ok);
        main().runCommand(Cmd::m_msave);
        compareMessages(prompts(),
                        {confirmation(doc->HtmlName()), errorBox(76, "パスが見つかりません。")});
        QCOMPARE(doc->EditerFr, 3);
        // So closing still asks.
        prompts().answer(Prompt::Answer::Cancel);
        QVERIFY(!doc->QueryUnload());
    }

    void failedSaveAsKeepsNameCaptionAndState()
    {
        Form_Editer *doc = openPage("first.html", "a\r\n");
        const QString old = doc->HtmlName();
        type(doc, "b");
        main().StatusBar1->setPanelText(2, "0.01 KB");
        prompts().answerFile(f->path("missing/second.html"));
        main().runCommand(Cmd::m_msaas);
        compareMessages(prompts(), {errorBox(76, "パスが見つかりません。")});
        QCOMPARE(doc->HtmlName(), old);
        QCOMPARE(caption(doc), old);
        QCOMPARE(doc->EditerFr, 3);
        QCOMPARE(readFile(old), QByteArray("a\r\n"));
    }

    void saveAsNamesTheWindowAfterTheNewFile()
    {
        Form_Editer *doc = openPage("orig.html", "<b>x</b>\r\n");
        const QString old = doc->HtmlName();
        writeFile(f->path("exists.html"), "previous");
        main().StatusBar1->setPanelText(2, "0.01 KB");
        prompts().answerFile(f->path("exists.html"));
        main().runCommand(Cmd::m_msaas);
        QCOMPARE(prompts().count(), 1); // no confirmation: the dialog stands for it
        const FileDialogRequest &dialog = prompts().shown().first().file;
        QCOMPARE(dialog.fileName, old);
        QVERIFY(dialog.overwritePrompt);
        QCOMPARE(doc->HtmlName(), f->path("exists.html"));
        QCOMPARE(caption(doc), f->path("exists.html"));
        QCOMPARE(readFile(f->path("exists.html")), QByteArray("<b>x</b>\r\n"));
        QCOMPARE(readFile(old), QByteArray("<b>x</b>\r\n"));
    }

    void saveKeepsPermissionsAndWritesThroughALink()
    {
        QVERIFY(QDir(f->dir.path()).mkdir("real"));
        writeFile(f->path("real/target.html"), "old\r\n");
        QFile::setPermissions(f->path("real/target.html"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        QVERIFY(QFile::link(f->path("real/target.html"), f->path("link.html")));
        const auto permissions = QFileInfo(f->path("real/target.html")).permissions();
        Form_Editer *doc = OpenDocument(main(), f->path("link.html"));
        type(doc, "new ");
        main().StatusBar1->setPanelText(2, "0.01 KB");
        prompts().answer(Prompt::Answer::Ok);
        main().runCommand(Cmd::m_msave);
        QCOMPARE(prompts().count(), 1);
        QVERIFY(QFileInfo(f->path("link.html")).isSymLink());
        QCOMPARE(readFile(f->path("real/target.html")), QByteArray("new old\r\n"));
        QCOMPARE(QFileInfo(f->path("real/target.html")).permissions(), permissions);
    }

    // A disk that fills during the write leaves the former page whole and the edits unsaved.
    void fullDiskLeavesTheFormerPage_data()
    {
        QTest::addColumn<int>("pageBytes");
        QTest::addColumn<int>("limit");
        QTest::newRow("small page") << 3000 << 1024;
        QTest::newRow("large page") << 200 * 1024 << 61440;
    }
    void fullDiskLeavesTheFormerPage()
    {
        QFETCH(int, pageBytes);
        QFETCH(int, limit);
        Form_Editer *doc = openPage("full.html", "");
        type(doc, "v1");
        main().StatusBar1->setPanelText(2, "0.01 KB");
        prompts().answer(Prompt::Answer::Ok);
        main().runCommand(Cmd::m_msave);
        QCOMPARE(readFile(doc->HtmlName()), QByteArray("v1"));
        QCOMPARE(doc->EditerFr, 2);
        prompts().clear();

        doc->RichTextBox1->setSelText(QString(pageBytes, QLatin1Char('x')));
        QCOMPARE(doc->EditerFr, 3);
        main().StatusBar1->setPanelText(2, "0.01 KB");
        prompts().answer(Prompt::Answer::Ok);
        {
            FileSizeLimit full(limit);
            QVERIFY(full.ok());
            main().runCommand(Cmd::m_msave);
        }
        compareMessages(prompts(), {confirmation(doc->HtmlName()),
                                    errorBox(61, "ディスクの空き容量が不足しています。")});
        QCOMPARE(readFile(doc->HtmlName()), QByteArray("v1"));
        QCOMPARE(doc->EditerFr, 3);
        // No half-written file is left beside the page.
        QCOMPARE(QDir(f->dir.path()).entryList({"full.html*"}, QDir::Files),
                 QStringList{"full.html"});
    }

    void unencodableCharactersCancelledWritesNothing()
    {
        Form_Editer *doc = openPage("emoji.html", "ab\r\n");
        doc->RichTextBox1->setSelStart(1);
        doc->RichTextBox1->setSelText(QString::fromUtf8("\xF0\x9F\x98\x80\xE2\x80\x8B"));
        const QString before = doc->RichTextBox1->Text();
        main().StatusBar1->setPanelText(2, "0.01 KB");
        prompts().answer(Prompt::Answer::Ok);
        prompts().answer(Prompt::Answer::Cancel);
        main().runCommand(Cmd::m_msave);
        compareMessages(
            prompts(),
            {confirmation(doc->HtmlName()),
             referencesQuestion(
                 doc->HtmlName(),
                 QString::fromUtf8("「\xF0\x9F\x98\x80」(U+1F600)、「\xE2\x80\x8B」(U+200B)"))});
        QCOMPARE(readFile(doc->HtmlName()), QByteArray("ab\r\n"));
        QCOMPARE(doc->RichTextBox1->Text(), before);
        QCOMPARE(doc->EditerFr, 3);
    }

    void unencodableCharactersBecomeReferencesInOneUndoableStep()
    {
        Form_Editer *doc = openPage("refs.html", "ab\r\n");
        doc->RichTextBox1->setSelStart(1);
        doc->RichTextBox1->setSelText(QString::fromUtf8("\xF0\x9F\x98\x80-\xF0\x9F\x98\x80"));
        const QString typed = doc->RichTextBox1->Text();
        doc->RichTextBox1->setSelStart(int(typed.size())); // caret at the end
        main().StatusBar1->setPanelText(2, "0.01 KB");
        prompts().answer(Prompt::Answer::Ok);
        prompts().answer(Prompt::Answer::Ok);
        main().runCommand(Cmd::m_msave);
        QCOMPARE(prompts().count(), 2);
        QCOMPARE(
            prompts().messages().at(1).text,
            referencesQuestion(doc->HtmlName(), QString::fromUtf8("「\xF0\x9F\x98\x80」(U+1F600)"))
                .text);
        QCOMPARE(readFile(doc->HtmlName()), QByteArray("a&#128512;-&#128512;b\r\n"));
        QCOMPARE(doc->RichTextBox1->Text(), QString("a&#128512;-&#128512;b\n"));
        QCOMPARE(doc->RichTextBox1->SelStart(), int(doc->RichTextBox1->Text().size()));
        QCOMPARE(doc->EditerFr, 2);
        main().runCommand(Cmd::m_eund);
        QCOMPARE(doc->RichTextBox1->Text(), typed);
    }

    void closeQuestionsYesAsksAboutUnencodableCharacters()
    {
        Form_Editer *doc = openPage("closing.html", "ab\r\n");
        doc->RichTextBox1->setSelText(QString::fromUtf8("\xF0\x9F\x8D\xA3"));
        const QString name = doc->HtmlName();
        const Msg closeQuestion{
            name + crlf + QStringLiteral("データが編集されています。編集内容を保存しますか？"),
            Prompt::Buttons::YesNoCancel, Prompt::Icon::Information, QStringLiteral("閉じる")};
        const Msg refs =
            referencesQuestion(name, QString::fromUtf8("「\xF0\x9F\x8D\xA3」(U+1F363)"));
        prompts().answer(Prompt::Answer::Yes);
        prompts().answer(Prompt::Answer::Cancel);
        main().runCommand(Cmd::m_mclos);
        compareMessages(prompts(), {closeQuestion, refs});
        QCOMPARE(main().documents().size(), 1);
        QCOMPARE(readFile(name), QByteArray("ab\r\n"));
        prompts().clear();
        prompts().answer(Prompt::Answer::Yes);
        prompts().answer(Prompt::Answer::Ok);
        main().runCommand(Cmd::m_mclos);
        compareMessages(prompts(), {closeQuestion, refs});
        QVERIFY(main().documents().isEmpty());
        QCOMPARE(readFile(name), QByteArray("&#127843;ab\r\n"));
    }

    // Through opening, typing, saving, Undo and Reload, what was not edited is written back
    // byte for byte.
    void pagesSaveBackAsTheyWereRead_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("twins") << QByteArray::fromHex("87 90 FA 4A 0D 0A ED 40 EE F9");
        QTest::newRow("LF") << QByteArray("<p>\n</p>\n");
        QTest::newRow("mixed line ends") << QByteArray("a\r\nb\nc\r\n\rd");
        QTest::newRow("kept invalid bytes") << QByteArray("a\x81 \x85\x40\r\nend\x82");
    }
    void pagesSaveBackAsTheyWereRead()
    {
        QFETCH(QByteArray, bytes);
        Form_Editer *doc = openPage("asread.html", bytes);
        const auto save = [&] {
            main().StatusBar1->setPanelText(2, "0.01 KB");
            prompts().answer(Prompt::Answer::Ok);
            main().runCommand(Cmd::m_msave);
            return readFile(doc->HtmlName());
        };
        QCOMPARE(save(), bytes);
        type(doc, "x");
        QCOMPARE(save(), "x" + bytes);
        main().runCommand(Cmd::m_eund);
        QCOMPARE(save(), bytes);
        prompts().answer(Prompt::Answer::Ok);
        main().runCommand(Cmd::m_mrel);
        QCOMPARE(save(), bytes);
    }

    // A character that would pair with a kept lone lead byte, and a character standing for a
    // byte that was not read there, are named with the unwritable ones and become references.
    void loneBytesAreNamedAndReferenced_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("at");
        QTest::addColumn<QString>("entered");
        QTest::addColumn<QString>("named");
        QTest::addColumn<QByteArray>("saved");
        QTest::newRow("typed after a lone lead byte")
            << QByteArray("abc\x82") << 4 << "a"
            << QString("「a」(U+0061、前にある単独のバイト 82 と結び付いて別の文字になる)")
            << QByteArray("abc\x82&#97;");
        QTest::newRow("a byte's stand-in pasted")
            << QByteArray("ab") << 1 << QString(QChar(0xF802))
            << QString("「%1」(U+F802、単独のバイト 82 を表す文字)").arg(QChar(0xF802))
            << QByteArray("a&#63490;b");
    }
    void loneBytesAreNamedAndReferenced()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, at);
        QFETCH(QString, entered);
        QFETCH(QString, named);
        QFETCH(QByteArray, saved);
        Form_Editer *doc = openPage("lone.html", bytes);
        doc->RichTextBox1->setSelStart(at);
        if (entered.front().unicode() < 0x80)
            type(doc, entered);
        else
            doc->RichTextBox1->setSelText(entered);
        main().StatusBar1->setPanelText(2, "0.01 KB");
        prompts().answer(Prompt::Answer::Ok);
        prompts().answer(Prompt::Answer::Ok);
        main().runCommand(Cmd::m_msave);
        compareMessages(
            prompts(), {confirmation(doc->HtmlName()), referencesQuestion(doc->HtmlName(), named)});
        QCOMPARE(readFile(doc->HtmlName()), saved);
    }

    void previewUsesReferencesWithoutAsking()
    {
        Form_Editer *doc = openPage("preview.html", "");
        doc->RichTextBox1->setSelText(QString::fromUtf8("\xF0\x9F\x98\x80"));
        main().RefreshPreview();
        QCOMPARE(prompts().count(), 0);
        QCOMPARE(readFile(ProgramFiles::preview(f->dir.path())), QByteArray("&#128512;"));
    }
};

ZEMLO_TEST_MAIN(TestSaving)
#include "tst_saving.moc"
