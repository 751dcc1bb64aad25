#include "FakeHost.h"
#include "MainWindowFixture.h"
#include "ZemloTestMain.h"

#include "app/Settings.h"
#include "documents/Form_Editer.h"
#include "documents/DocumentCommands.h"
#include "documents/OpenDocument.h"
#include "widgets/RichTextBox.h"
#include "taglib/Form_TAG.h"
#include "taglib/TagLibraryCommands.h"
#include "taglib/TagLibraryPath.h"
#include "tools/TagColor.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QTreeWidget>

using Entries = QList<TagLibraryEntry>;
using Answer = Prompt::Answer;

namespace {

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

const QByteArray oldLibrary = "b-line\r\n<br>\r\nd-image\r\n<img>\r\n";
const Entries oldEntries{{"b-line", "<br>"}, {"d-image", "<img>"}};
const QString saveQuestion = QStringLiteral("TAG Libraryの編集内容を保存しますか？");

} // namespace

char *toString(const Entries &entries)
{
    QString text;
    for (const TagLibraryEntry &e : entries)
        text += u'[' + e.comment + u'|' + e.tag + u']';
    return qstrdup(text.toUtf8().constData());
}

// One main window serves every test; each test starts with the library window unloaded and
// the program folder holding only what the test writes.
class TestFormTag : public QObject
{
    Q_OBJECT

    // The library window needs no main window: a stand-in host holds the document.
    std::unique_ptr<FakeHost> f;
    Form_Editer *doc = nullptr;

    QString libraryFile() const { return DefaultTagLibraryFile(f->programFolder()); }
    QString pointerFile() const { return TagLibraryPointerFile(f->programFolder()); }

    // The library window as m_etag leaves it.
    Form_TAG *showLibrary()
    {
        f->runCommand(Cmd::m_etag);
        for (Form_TAG *form : f->dialogParent()->findChildren<Form_TAG *>())
            if (!form->isUnloaded())
                return form;
        return nullptr;
    }
    Form_TAG *showLibrary(const QByteArray &bytes)
    {
        writeBytes(libraryFile(), bytes);
        return showLibrary();
    }
    void add(Form_TAG *form, const QString &tag, const QString &comment)
    {
        f->script.answerInput(tag);
        f->script.answerInput(comment);
        form->action("m_madd")->trigger();
    }
    void clickHeading(Form_TAG *form, int column)
    {
        QHeaderView *header = form->ListView1->header();
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(column) + 4, header->height() / 2));
    }

private Q_SLOTS:
    void initTestCase()
    {
        f = std::make_unique<FakeHost>();
        InstallDocumentCommands(*f);
        InstallTagLibraryCommands(*f);
        writeBytes(f->path("page.html"), "abc");
        doc = OpenDocument(*f, f->path("page.html"));
        QVERIFY(doc);
    }

    void init()
    {
        for (Form_TAG *form : f->dialogParent()->findChildren<Form_TAG *>())
            if (!form->isUnloaded()) {
                f->script.answer(Answer::Cancel);
                form->close();
            }
        QFile::remove(libraryFile());
        QFile::remove(pointerFile());
        f->script.clear();
    }

    void cleanupTestCase() { f.reset(); }

    void firstUseReportsMissingLibraryThenCreatesOne()
    {
        Form_TAG *form = showLibrary();
        QVERIFY(form);
        QCOMPARE(form->windowTitle(), QString("My TAG Library"));
        QVERIFY(form->isVisible());
        QCOMPARE(form->pos(), f->dialogParent()->pos());
        QCOMPARE(form->width(), f->dialogParent()->width() / 3);
        QCOMPARE(form->height(), f->dialogParent()->height());
        QCOMPARE(form->ListView1->headerItem()->text(0), QString(" Comment"));
        QCOMPARE(form->ListView1->headerItem()->text(1), QString(" <TAG> Library"));
        QVERIFY(form->ListView1->isHidden());
        const QList<MessageRequest> shown = f->script.messages();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, QString("Zuvo: 53\r\n\r\nファイルが見つかりません。"));
        QCOMPARE(shown[0].title, QString("ファイルが見つかりません。"));
        QCOMPARE(shown[0].icon, Prompt::Icon::Exclamation);
        QCOMPARE(shown[0].buttons, Prompt::Buttons::Ok);

        const QString created = f->path("mine.tag");
        f->script.clear();
        f->script.answerFile(created);
        form->action("m_mnew")->trigger();
        QCOMPARE(f->script.count(), 1);
        const FileDialogRequest dialog = f->script.shown()[0].file;
        QCOMPARE(dialog.kind, FileDialogKind::Save);
        QCOMPARE(dialog.defaultSuffix, QString("tag"));
        QCOMPARE(dialog.nameFilters, (QStringList{"TAG (*.tag)", "*.* (*)"}));
        QCOMPARE(readBytes(created), QByteArray());
        QCOMPARE(LoadTagLibraryPath(f->programFolder()), created);
        QVERIFY(!form->ListView1->isHidden());
        QCOMPARE(form->LibraryName, created);
    }

    void creatingOverAnExistingLibraryKeepsIt()
    {
        const QString other = f->path("other.tag");
        writeBytes(other, "x\r\n<x>\r\n");
        Form_TAG *form = showLibrary(oldLibrary);
        f->script.answerFile(other);
        form->action("m_mnew")->trigger();
        QCOMPARE(readBytes(other), QByteArray("x\r\n<x>\r\n"));
        QCOMPARE(form->entries(), (Entries{{"x", "<x>"}}));
    }

    void addThenOkAtClosingWrites_data()
    {
        QTest::addColumn<int>("sortColumn");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("file order: appended as the last two lines")
            << -1 << QByteArray("b-line\r\n<br>\r\nd-image\r\n<img>\r\nc-anchor\r\n<a>\r\n");
        QTest::newRow("sorted by comment")
            << 0 << QByteArray("b-line\r\n<br>\r\nc-anchor\r\n<a>\r\nd-image\r\n<img>\r\n");
        QTest::newRow("sorted by tag")
            << 1 << QByteArray("c-anchor\r\n<a>\r\nb-line\r\n<br>\r\nd-image\r\n<img>\r\n");
    }

    void addThenOkAtClosingWrites()
    {
        QFETCH(int, sortColumn);
        QFETCH(QByteArray, expected);
        Form_TAG *form = showLibrary(oldLibrary);
        QCOMPARE(form->entries(), oldEntries);
        QVERIFY(!form->ListView1->isHidden());
        if (sortColumn >= 0) {
            // A second click on the same heading never reverses the order.
            clickHeading(form, sortColumn);
            clickHeading(form, sortColumn);
        }
        add(form, "<a>", "c-anchor");
        f->script.answer(Answer::Ok);
        QVERIFY(form->close());
        QVERIFY(form->isUnloaded());
        const QList<MessageRequest> shown = f->script.messages();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, saveQuestion);
        QCOMPARE(shown[0].title, QString("確認"));
        QCOMPARE(shown[0].icon, Prompt::Icon::Question);
        QCOMPARE(shown[0].buttons, Prompt::Buttons::OkCancel);
        QCOMPARE(readBytes(libraryFile()), expected);
        QVERIFY(!QFile::exists(pointerFile()));
    }

    void addAsksTagThenComment()
    {
        Form_TAG *form = showLibrary(oldLibrary);
        add(form, "<hr>", "");
        QCOMPARE(f->script.count(), 2);
        const InputRequest tag = f->script.shown()[0].input;
        const InputRequest comment = f->script.shown()[1].input;
        QCOMPARE(tag.prompt, QString("ライブラリへ追加する<TAG>を入力して下さい"));
        QCOMPARE(tag.title, QString("<TAG>Library"));
        QCOMPARE(comment.prompt, QString("コメントを入力して下さい"));
        QCOMPARE(comment.title, QString("Comment"));
        QCOMPARE(form->entries(), oldEntries);
        QVERIFY(!form->LibraryEdited);
    }

    void addThenCancelAtClosingLeavesTheFile()
    {
        Form_TAG *form = showLibrary(oldLibrary);
        add(form, "<a>", "c-anchor");
        f->script.answer(Answer::Cancel);
        QVERIFY(form->close());
        QCOMPARE(f->script.messages().size(), 1);
        QCOMPARE(readBytes(libraryFile()), oldLibrary);
        QCOMPARE(showLibrary()->entries(), oldEntries);
    }

    void hiddenWindowComesBackAsItWas_data()
    {
        QTest::addColumn<QString>("hideBy");
        QTest::newRow("menu item") << "m_mexit";
        QTest::newRow("bottom button") << "t_exit";
    }

    void hiddenWindowComesBackAsItWas()
    {
        QFETCH(QString, hideBy);
        Form_TAG *form = showLibrary(oldLibrary);
        add(form, "<a>", "c-anchor");
        form->move(form->pos() + QPoint(40, 30));
        const QPoint placed = form->pos();
        form->action(hideBy)->trigger();
        QVERIFY(!form->isVisible());
        QVERIFY(!form->isUnloaded());
        QFile::remove(libraryFile()); // not read again

        QCOMPARE(showLibrary(), form);
        QVERIFY(form->isVisible());
        QCOMPARE(form->pos(), placed);
        QCOMPARE(form->entries(), (oldEntries + Entries{{"c-anchor", "<a>"}}));
        QCOMPARE(f->script.count(), 2); // the two answers of the addition, nothing more
    }

    void shortcutKeysRunTheirItems()
    {
        Form_TAG *form = showLibrary(oldLibrary);
        QApplication::setActiveWindow(form);
        form->ListView1->setFocus();
        QTest::keyClick(form->ListView1, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(f->script.count(), 1); // the tag question, cancelled
        QCOMPARE(f->script.shown()[0].input.title, QString("<TAG>Library"));
        QTest::keyClick(form->ListView1, Qt::Key_F12);
        QVERIFY(!form->isVisible());
        QVERIFY(!form->isUnloaded());
    }

    void reloadDropsEditsButClosingStillAsks()
    {
        Form_TAG *form = showLibrary(oldLibrary);
        add(form, "<a>", "c-anchor");
        form->action("m_mref")->trigger();
        QCOMPARE(form->entries(), oldEntries);
        f->script.answer(Answer::Cancel);
        form->close();
        QCOMPARE(f->script.messages().size(), 1);
        QCOMPARE(f->script.messages()[0].text, saveQuestion);
    }

    void editNeedsBothAnswers()
    {
        Form_TAG *form = showLibrary(oldLibrary);
        f->script.answerInput("<hr>");
        f->script.answerInput(QString());
        form->action("m_medi")->trigger();
        QCOMPARE(form->entries(), oldEntries);
        QVERIFY(!form->LibraryEdited);
        // Both questions offer the first entry's values, the tag first.
        QCOMPARE(f->script.shown()[0].input.defaultText, QString("<br>"));
        QCOMPARE(f->script.shown()[1].input.defaultText, QString("b-line"));

        f->script.answerInput("<hr>");
        f->script.answerInput("rule");
        form->action("m_medi")->trigger();
        QCOMPARE(form->entries(), (Entries{{"rule", "<hr>"}, {"d-image", "<img>"}}));
        QVERIFY(form->LibraryEdited);
    }

    void closingUneditedAsksNothing()
    {
        Form_TAG *form = showLibrary(oldLibrary);
        form->action("m_mref")->trigger();
        QVERIFY(form->close());
        QCOMPARE(f->script.count(), 0);
        QCOMPARE(readBytes(libraryFile()), oldLibrary);
    }

    void deleteNamesTheEntryByItsComment()
    {
        Form_TAG *form = showLibrary(oldLibrary);
        form->ListView1->setCurrentItem(form->ListView1->topLevelItem(1));
        f->script.answer(Answer::Cancel);
        form->action("m_mdel")->trigger();
        QCOMPARE(form->entries(), oldEntries);
        QVERIFY(!form->LibraryEdited);
        const MessageRequest asked = f->script.messages()[0];
        QCOMPARE(asked.text, QString("TAG Libraryから\u2019d-image\u2019を削除します。"));
        QCOMPARE(asked.title, QString("確認"));
        QCOMPARE(asked.buttons, Prompt::Buttons::OkCancel);
        QCOMPARE(asked.defaultButton, std::optional<Answer>(Answer::Cancel));

        f->script.answer(Answer::Ok);
        form->action("m_mdel")->trigger();
        QCOMPARE(form->entries(), (Entries{{"b-line", "<br>"}}));
        QVERIFY(form->LibraryEdited);
    }

    void insertReplacesSelectionInOneColouredStep_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("menu item") << "m_mtin";
        QTest::newRow("bottom button") << "t_inp";
        QTest::newRow("Enter in the list") << "enter";
        QTest::newRow("double click") << "double click";
    }

    void insertReplacesSelectionInOneColouredStep()
    {
        QFETCH(QString, how);
        Form_TAG *form = showLibrary("font end\r\n</font>\r\nbreak\r\n<br>\r\n");
        RichTextBox *box = doc->RichTextBox1;
        box->setText("abc");
        doc->BuffBuff = box->TextRTF();
        const RichImage before = box->TextRTF();
        box->setSelStart(1);
        box->setSelLength(1);

        QTreeWidgetItem *closing = form->ListView1->topLevelItem(0);
        if (how == "enter") {
            QTest::keyClick(form->ListView1, Qt::Key_Return);
        } else if (how == "double click") {
            const QRect row = form->ListView1->visualItemRect(closing);
            // A real double click: the first click's press, then the double click.
            QTest::mouseClick(form->ListView1->viewport(), Qt::LeftButton, {}, row.center());
            QTest::mouseDClick(form->ListView1->viewport(), Qt::LeftButton, {}, row.center());
        } else {
            form->action(how)->trigger();
        }

        QCOMPARE(box->Text(), QString("a</font>c"));
        for (int i = 1; i < 8; ++i)
            QCOMPARE(box->colorAt(i), TagColors::Font);
        QCOMPARE(box->SelStart(), 8);
        QCOMPARE(box->SelLength(), 0);
        QVERIFY(doc->UndoBuff == before);
        QVERIFY(doc->BuffBuff == box->TextRTF());
        QVERIFY(!form->LibraryEdited);
    }

    void switchingToAnUnreadableFile()
    {
        Form_TAG *form = showLibrary(oldLibrary);
        const QString gone = f->path("gone.tag");
        f->script.answerFile(gone);
        form->action("m_mche")->trigger();
        QCOMPARE(f->script.shown()[0].file.kind, FileDialogKind::Open);
        QCOMPARE(LoadTagLibraryPath(f->programFolder()), gone);
        QCOMPARE(form->ListView1->topLevelItemCount(), 0);
        QCOMPARE(f->script.messages().size(), 1);
        QCOMPARE(f->script.messages()[0].text,
                 QString("Zuvo: 53\r\n\r\nファイルが見つかりません。"));
    }

    void cancelledSwitchChangesNothing()
    {
        Form_TAG *form = showLibrary(oldLibrary);
        form->action("m_mche")->trigger(); // no answer: the dialog is cancelled
        QCOMPARE(form->entries(), oldEntries);
        QCOMPARE(form->LibraryName, libraryFile());
        QVERIFY(!QFile::exists(pointerFile()));
    }

    void oddLineCountKeepsCompleteEntries()
    {
        Form_TAG *form = showLibrary("a\r\n<a>\r\nlone");
        QCOMPARE(form->entries(), (Entries{{"a", "<a>"}}));
        QVERIFY(form->ListView1->isHidden());
        QCOMPARE(f->script.messages().size(), 1);
        QCOMPARE(f->script.messages()[0].text,
                 QString("Zuvo: 62\r\n\r\nファイルの終わりを越えて読み込もうとしました。"));
    }

    void libraryRoundTripsByteForByte()
    {
        // Kanji, half-width katakana, pictographs of the user-defined area and a lone LF.
        const QByteArray bytes = QByteArray::fromHex("89fc8d73") + "\r\n<br>\r\n" +
                                 QByteArray::fromHex("b6c0b6c5") + "\r\n<a href=\"#\">" +
                                 QByteArray::fromHex("c4afccdf") + "</a>\r\n" +
                                 QByteArray::fromHex("90b082ea") + "\r\n" +
                                 QByteArray::fromHex("f89ff8a0f940") + "\r\nlone\nlf\r\nx\r\n";
        Form_TAG *form = showLibrary(bytes);
        QCOMPARE(form->entries().size(), 4);
        QCOMPARE(form->entries()[1].comment, QString("ｶﾀｶﾅ"));
        // An edit with the same answers still counts, so closing saves every row.
        f->script.answerInput(form->entries()[0].tag);
        f->script.answerInput(form->entries()[0].comment);
        form->action("m_medi")->trigger();
        QVERIFY(form->LibraryEdited);
        f->script.answer(Answer::Ok);
        form->close();
        QCOMPARE(readBytes(libraryFile()), bytes);
    }

    void failedSaveOffersAnotherFile_data()
    {
        QTest::addColumn<bool>("rescue");
        QTest::newRow("saved under another name") << true;
        QTest::newRow("given up") << false;
    }

    void failedSaveOffersAnotherFile()
    {
        QFETCH(bool, rescue);
        QDir(f->programFolder()).mkdir("sub");
        const QString inSub = f->path("sub/lib.tag");
        writeBytes(inSub, oldLibrary);
        writeBytes(pointerFile(), inSub.toUtf8() + "\r\n");
        Form_TAG *form = showLibrary();
        add(form, "<a>", "c-anchor");
        QVERIFY(QDir(f->path("sub")).removeRecursively());

        const QString rescued = f->path("rescued.tag");
        QFile::remove(rescued);
        f->script.answer(Answer::Ok);
        f->script.answer(rescue ? Answer::Ok : Answer::Cancel);
        f->script.answerFile(rescued);
        QVERIFY(form->close());
        const QList<MessageRequest> shown = f->script.messages();
        QCOMPARE(shown.size(), 2);
        QVERIFY(shown[1].text.startsWith("TAG Libraryを保存できませんでした。\r\n\r\n" + inSub +
                                         "\r\nZuvo: 76"));
        QVERIFY(shown[1].text.endsWith("\r\n\r\n編集内容を別のファイルに保存しますか？"));
        QCOMPARE(shown[1].icon, Prompt::Icon::Exclamation);
        if (rescue) {
            QCOMPARE(readBytes(rescued), oldLibrary + "c-anchor\r\n<a>\r\n");
            QCOMPARE(LoadTagLibraryPath(f->programFolder()), rescued);
        } else {
            QVERIFY(!QFile::exists(rescued));
            QCOMPARE(LoadTagLibraryPath(f->programFolder()), inSub);
            f->script.clear(); // the unused file answer
        }
    }

    void emptyLibraryNameCannotBeSavedSilently()
    {
        writeBytes(pointerFile(), "\r\n");
        Form_TAG *form = showLibrary();
        QCOMPARE(form->LibraryName, QString());
        QCOMPARE(f->script.messages()[0].text,
                 QString("Zuvo: 53\r\n\r\nファイルが見つかりません。"));
        add(form, "<a>", "c-anchor");
        f->script.answer(Answer::Ok);
        f->script.answer(Answer::Cancel);
        form->close();
        const QList<MessageRequest> shown = f->script.messages();
        QCOMPARE(shown.size(), 3);
        QVERIFY(shown[2].text.contains("（ファイル名がありません）"));
    }

    void libraryReadInPartIsOverwrittenOnlyWhenAllowed_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<Answer>>("answers"); // to the question, when one comes
        QTest::addColumn<bool>("toOther");           // a file chosen in the save dialog
        QTest::addColumn<QByteArray>("expected");     // the library file afterwards
        const QByteArray odd = "a\r\n<a>\r\nlone line\r\n";
        QTest::newRow("odd line count, overwrite allowed")
            << odd << QList<Answer>{Answer::Ok} << false << QByteArray("a\r\n<a>\r\nc\r\n<c>\r\n");
        QTest::newRow("odd line count, kept, edits to another file")
            << odd << QList<Answer>{Answer::Cancel} << true << odd;
        QTest::newRow("odd line count, kept, nothing saved")
            << odd << QList<Answer>{Answer::Cancel} << false << odd;
        QByteArray lf, crlf;
        for (int i = 0; i < 10; ++i) {
            lf += "entry " + QByteArray::number(i) + "\n<p" + QByteArray::number(i) + ">\n";
            crlf += "entry " + QByteArray::number(i) + "\r\n<p" + QByteArray::number(i) + ">\r\n";
        }
        QTest::newRow("LF line ends are read whole: nothing to ask")
            << lf << QList<Answer>{} << false << crlf + "c\r\n<c>\r\n";
    }

    void libraryReadInPartIsOverwrittenOnlyWhenAllowed()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<Answer>, answers);
        QFETCH(bool, toOther);
        QFETCH(QByteArray, expected);
        Form_TAG *form = showLibrary(bytes);
        const int readMessages = f->script.messages().size();
        add(form, "<c>", "c");
        f->script.answer(Answer::Ok); // save the edits
        for (Answer a : answers)
            f->script.answer(a);
        const QString other = f->path("other.tag");
        QFile::remove(other);
        f->script.answerFile(toOther ? std::optional<QString>(other) : std::nullopt);
        QVERIFY(form->close());

        QCOMPARE(readBytes(libraryFile()), expected);
        const QList<MessageRequest> shown = f->script.messages();
        QCOMPARE(shown.size(), readMessages + 1 + answers.size());
        if (!answers.isEmpty()) {
            const MessageRequest &asked = shown.last();
            QVERIFY2(asked.text.contains("Zuvo: 62"), qPrintable(asked.text));
            QVERIFY2(asked.text.contains("「lone line」"), qPrintable(asked.text));
            QCOMPARE(asked.buttons, Prompt::Buttons::OkCancel);
            QCOMPARE(asked.defaultButton, std::optional<Answer>(Answer::Cancel));
        }
        if (toOther) {
            QCOMPARE(readBytes(other), QByteArray("a\r\n<a>\r\nc\r\n<c>\r\n"));
            QCOMPARE(LoadTagLibraryPath(f->programFolder()), other);
        } else {
            QVERIFY(!QFile::exists(other));
        }
        f->script.clear();
    }

    void unstorableEntryIsAskedForAgain_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("field"); // 0 the tag, 1 the comment
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("named");
        QTest::newRow("added tag") << "m_madd" << 0 << u"<b>한</b>"_qs << u"「한」(U+D55C)"_qs;
        QTest::newRow("added comment") << "m_madd" << 1 << u"絵😀"_qs << u"「😀」(U+1F600)"_qs;
        QTest::newRow("edited tag") << "m_medi" << 0 << u"<br>\u00e9"_qs << u"「é」(U+00E9)"_qs;
        QTest::newRow("edited comment with CR") << "m_medi" << 1 << "a\rb" << "CR";
    }

    void unstorableEntryIsAskedForAgain()
    {
        QFETCH(QString, command);
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(QString, named);
        Form_TAG *form = showLibrary(oldLibrary);
        QStringList answers{"<c>", "c"};
        answers.insert(field, typed);
        for (const QString &text : answers)
            f->script.answerInput(text);
        form->action(command)->trigger();

        const QList<ScriptedPrompts::Shown> shown = f->script.shown();
        QCOMPARE(shown.size(), 4);
        QCOMPARE(shown[field + 1].kind, ScriptedPrompts::Shown::Message);
        QVERIFY2(shown[field + 1].message.text.contains(named),
                 qPrintable(shown[field + 1].message.text));
        // Asked again with the typed text to mend.
        QCOMPARE(shown[field + 2].kind, ScriptedPrompts::Shown::Input);
        QCOMPARE(shown[field + 2].input.defaultText, typed);
        QVERIFY(form->LibraryEdited);

        // Every save now succeeds.
        f->script.clear();
        f->script.answer(Answer::Ok);
        QVERIFY(form->close());
        QCOMPARE(f->script.count(), 1);
        QVERIFY(readBytes(libraryFile()).contains("c\r\n<c>\r\n"));
    }

    void enterAfterADialogGoesToTheList()
    {
        Form_TAG *form = showLibrary(oldLibrary);
        RichTextBox *box = doc->RichTextBox1;
        box->setText("abc");
        box->setSelStart(3);
        QVERIFY(QTest::qWaitForWindowActive(form));
        form->ListView1->setFocus();
        // The dialog's owner, the main window with the page, is active once it closes.
        f->script.whileShown = [this, box] {
            QApplication::setActiveWindow(f->dialogParent());
            box->setFocus();
        };
        f->script.answerInput("<c>");
        f->script.answerInput("c");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(form->entries().size(), 3);
        f->script.whileShown = nullptr;
        QVERIFY(QTest::qWaitForWindowActive(form));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(box->Text(), QString("abc<br>"));
    }

    void insertWithoutDocumentChangesNothing()
    {
        Form_TAG *form = showLibrary(oldLibrary);
        doc->RichTextBox1->setText("abc");
        f->script.answer(Answer::No); // the page is not saved
        QVERIFY(doc->parentWidget()->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!f->activeDocument());
        form->action("m_mtin")->trigger();
        QCOMPARE(form->entries(), oldEntries);
        doc = nullptr;
    }

    // F11 and F12 are the main window's too: in the library window its own act.
    void ownKeysActInTheLibraryWindowOnly()
    {
        MainWindowFixture g;
        writeBytes(DefaultTagLibraryFile(g.dir.path()), oldLibrary);
        Form_Editer *page = g.openPage("page.html", "<b>abc</b>");
        QVERIFY(page);
        g.window->runCommand(Cmd::m_etag);
        Form_TAG *form = g.window->findChild<Form_TAG *>();
        QVERIFY(form);
        QApplication::setActiveWindow(form);
        form->ListView1->setFocus();
        QTest::keyClick(form->ListView1, Qt::Key_F11);
        QVERIFY(form->isMaximized());
        QTest::keyClick(form->ListView1, Qt::Key_F11);
        QVERIFY(!form->isMaximized());
        QTest::keyClick(form->ListView1, Qt::Key_F12);
        QVERIFY(!form->isVisible());
        QVERIFY(!form->isUnloaded());
        // In the page, F12 writes the preview file.
        QApplication::setActiveWindow(g.window);
        page->RichTextBox1->setFocus();
        const QString preview = ProgramFiles::preview(g.dir.path());
        QFile::remove(preview);
        QTest::keyClick(page->RichTextBox1, Qt::Key_F12);
        QCOMPARE(readBytes(preview), QByteArray("<b>abc</b>"));
    }

    void mainWindowClosingAsksAboutEdits()
    {
        // The real main window: as it ends, the library window asks about its edits.
        MainWindowFixture g;
        writeBytes(DefaultTagLibraryFile(g.dir.path()), oldLibrary);
        QVERIFY(g.openPage("page.html", "abc"));
        g.window->runCommand(Cmd::m_etag);
        Form_TAG *form = g.window->findChild<Form_TAG *>();
        QVERIFY(form);
        g.prompts.answerInput("<a>");
        g.prompts.answerInput("c-anchor");
        form->action("m_madd")->trigger();
        form->action("m_mexit")->trigger(); // hidden, still loaded
        g.prompts.answer(Answer::Ok);
        QVERIFY(g.close());
        QCOMPARE(g.prompts.messages().last().text, saveQuestion);
        QCOMPARE(readBytes(DefaultTagLibraryFile(g.dir.path())), oldLibrary + "c-anchor\r\n<a>\r\n");
    }
};

ZEMLO_TEST_MAIN(TestFormTag)
#include "tst_formtag.moc"
