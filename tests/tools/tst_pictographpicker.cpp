#include "documents/OpenDocument.h"
#include "MainWindowFixture.h"
#include "ZemloTestMain.h"

#include "app/MDI_Module.h"
#include "app/Settings.h"
#include "app/StatusPanels.h"
#include "documents/Form_Editer.h"
#include "widgets/RichTextBox.h"
#include "tools/Form_IME.h"
#include "tools/PictographCommands.h"
#include "tools/PictographDelegate.h"
#include "tools/PictographList.h"

#include <QAction>
#include <QDir>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace {
const QString SourceImages = QStringLiteral(ZEMLO_SOURCE_DATA "/ImageList");

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QString insertionText(const Form_IME *picker, int row)
{
    return picker->ListView1->item(row)->data(Form_IME::InsertionTextRole).toString();
}

QString caption(const Form_IME *picker, int row)
{
    return picker->ListView1->item(row)->text();
}
} // namespace

class TestPictographPicker : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> f;
    QList<QByteArray> installed; // the installed list, one record a line

    MDI_Main &main() { return *f->window; }
    QString listFile() { return ProgramFiles::pictographList(f->dir.path()); }
    QString image(const QString &code) { return f->path("ImageList/" + code + ".gif"); }

    void writeList(const QList<QByteArray> &records)
    {
        writeFile(listFile(), records.join("\r\n"));
    }

    Form_Editer *openPage(const QByteArray &text)
    {
        writeFile(f->path("page.html"), text);
        OpenDocument(main(), f->path("page.html"));
        return main().activeDocument();
    }

    Form_IME *openPicker()
    {
        OpenPictographPicker(main());
        return LoadedPictographPicker(main());
    }

    void undo(Form_Editer *doc)
    {
        // The Undo command restores the image taken before the last tracked change.
        if (main().hasHandler(Cmd::m_eund))
            main().runCommand(Cmd::m_eund);
        else
            doc->RichTextBox1->setTextRTF(doc->UndoBuff);
    }

private Q_SLOTS:
    void initTestCase()
    {
        f = std::make_unique<MainWindowFixture>();
        const QDir source(SourceImages);
        for (const QString &name : source.entryList(QDir::Files)) {
            QFile::remove(f->path("ImageList/" + name));
            QVERIFY(QFile::copy(source.filePath(name), f->path("ImageList/" + name)));
        }
        installed = readAll(listFile()).trimmed().split('\n');
        for (QByteArray &line : installed)
            line = line.trimmed();
        QVERIFY(installed.size() >= PictographList::Size);
    }

    void cleanup()
    {
        if (Form_IME *picker = LoadedPictographPicker(main()))
            picker->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (Form_Editer *doc : main().documents()) {
            doc->setCloseAgreed(true);
            qobject_cast<QMdiSubWindow *>(doc->parentWidget())->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        writeList(installed);
        main().action(Cmd::m_vrpr)->setChecked(false);
    }

    void installedSetShowsEveryPictograph()
    {
        openPage("<html>");
        QVERIFY(main().action(Cmd::m_eime)->isEnabled());
        QVERIFY(main().action("t_ime")->isEnabled());
        main().runCommand(Cmd::m_eime);
        Form_IME *picker = LoadedPictographPicker(main());
        QVERIFY(picker);
        QVERIFY(picker->isVisible());
        QCOMPARE(picker->windowTitle(), QStringLiteral("i-mode 絵文字"));
        QVERIFY(picker->ListView1->isVisible());
        QCOMPARE(picker->ListView1->count(), 176);
        QCOMPARE(picker->ImageList2.count(), 176);
        for (int i = 0; i < picker->ListView1->count(); ++i)
            QVERIFY2(!picker->ListView1->item(i)->icon().pixmap(40).isNull(),
                     qPrintable(caption(picker, i)));
        QCOMPARE(insertionText(picker, 0), QStringLiteral("&#63647;"));
        // The top half of the main window.
        QCOMPARE(picker->pos(), main().pos());
        QCOMPARE(picker->size(), QSize(main().width(), main().height() / 2));
        // The list fills the client area above the bottom bar.
        QCOMPARE(picker->ListView1->geometry().bottom() + 1, picker->Toolbar1->geometry().top());
        QCOMPARE(picker->ListView1->width(), picker->centralWidget()->width());
    }

    // Captions whose first line has kana or kanji are taller than the list font's height.
    void captionsShowWhole()
    {
        openPage("<html>");
        Form_IME *picker = openPicker();
        QVERIFY(picker);
        QListWidget *list = picker->ListView1;
        const QFontMetrics metrics(list->font());
        for (int i = 0; i < list->count(); ++i) {
            const QRect room = PictographDelegate::captionRect(
                list->visualItemRect(list->item(i)), list->iconSize());
            const QString text = caption(picker, i).replace(u'\r', u'\n');
            const QRect needed = metrics.boundingRect(room, Qt::AlignHCenter | Qt::AlignTop, text);
            QVERIFY2(needed.height() <= room.height(),
                     qPrintable(QString("%1: %2 > %3").arg(text).arg(needed.height()).arg(room.height())));
        }
    }

    void menuAndButtons_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QKeySequence>("key");
        QTest::newRow("m_mime") << "m_mime"
                                << "絵文字を挿入(&I)" << QKeySequence("Shift+Ins");
        QTest::newRow("m_mtyu") << "m_mtyu"
                                << "※注意！" << QKeySequence();
        QTest::newRow("m_mref") << "m_mref"
                                << "最新の情報に更新(&R)" << QKeySequence();
        QTest::newRow("m_mwin") << "m_mwin"
                                << "ｳｨﾝﾄﾞｳｻｲｽﾞ変更" << QKeySequence("F11");
        QTest::newRow("m_mexit") << "m_mexit"
                                 << "閉じる" << QKeySequence("F12");
        QTest::newRow("t_exit") << "t_exit"
                                << "閉じる" << QKeySequence();
        QTest::newRow("t_ime") << "t_ime"
                               << "絵文字挿入" << QKeySequence();
    }

    void menuAndButtons()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QKeySequence, key);
        Form_IME picker(main());
        QCOMPARE(picker.m_menu->title(), QStringLiteral("ﾒﾆｭｰ(&M)"));
        QCOMPARE(picker.menuBar()->actions(), QList<QAction *>{picker.m_menu->menuAction()});
        QAction *item = picker.action(name);
        QVERIFY(item);
        if (name.startsWith("t_")) {
            QVERIFY(picker.Toolbar1->actions().contains(item));
            QCOMPARE(item->toolTip(), caption);
            QVERIFY(!item->icon().pixmap(16).isNull());
            return;
        }
        QCOMPARE(item->text(), caption);
        QCOMPARE(item->shortcut(), key);
        // Insert and the note, a separator, then reload, window size and close.
        QStringList order;
        for (QAction *a : picker.m_menu->actions())
            order << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
        QCOMPARE(order, (QStringList{"m_mime", "m_mtyu", "-", "m_mref", "m_mwin", "m_mexit"}));
    }

    void recordsMakeKeysCaptionsAndTexts_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("text");
        QTest::newRow("five digits") << 0 << "i63647"
                                     << "X\r [ Y ]"
                                     << "&#63647;";
        QTest::newRow("four digits") << 1 << "i1234"
                                     << "A\r [ B ]"
                                     << "&#i1234;";
        QTest::newRow("six digits") << 2 << "i123456"
                                    << "C\r [ D ]"
                                    << "&#23456;";
        QTest::newRow("quoted comma") << 3 << "i63650"
                                      << "E,F\r [ G ]"
                                      << "&#63650;";
    }

    void recordsMakeKeysCaptionsAndTexts()
    {
        QFETCH(int, row);
        QFETCH(QString, key);
        QFETCH(QString, caption);
        QFETCH(QString, text);
        QFile::copy(image("63648"), image("1234"));
        QFile::copy(image("63649"), image("123456"));
        writeList(QList<QByteArray>{"63647,X,Y", "1234,A,B", "123456,C,D", "63650,\"E,F\",G"} +
                  installed.mid(4, 172));
        Form_IME *picker = openPicker();
        QCOMPARE(picker->ListView1->count(), 176);
        QCOMPARE(picker->ImageList2.at(row).key, key);
        QCOMPARE(picker->ImageList2.at(row).text, caption);
        QCOMPARE(::caption(picker, row), caption);
        QCOMPARE(insertionText(picker, row), text);
        // Each entry shows the picture of its own code.
        const QString code = key.mid(1);
        QCOMPARE(
            picker->ImageList2.at(row).picture.toImage().convertToFormat(QImage::Format_ARGB32),
            QImage(image(code)).convertToFormat(QImage::Format_ARGB32));
    }

    void failedReloadsKeepThePicker()
    {
        Form_IME *picker = openPicker();
        const QString first = caption(picker, 0);
        // Records past the 176th are not read.
        writeList(installed.mid(0, 176) + QList<QByteArray>{"99999,Extra,Extra"});
        picker->action("m_mref")->trigger();
        QCOMPARE(picker->ListView1->count(), 176);
        // 175 records fail at the 176th; the list keeps what it showed, the picker is usable.
        writeList(QList<QByteArray>{"63647,Changed,Changed"} + installed.mid(1, 174));
        picker->action("m_mref")->trigger();
        QCOMPARE(picker->ImageList2.count(), 175);
        QCOMPARE(picker->ListView1->count(), 176);
        QCOMPARE(caption(picker, 0), first);
        QVERIFY(picker->ListView1->isVisible());
        QCOMPARE(picker->cursor().shape(), Qt::ArrowCursor);
        // A first load that fails opens the window with its list hidden.
        picker->close();
        picker = openPicker();
        QVERIFY(picker->isVisible());
        QVERIFY(!picker->ListView1->isVisible());
        // So does a missing picture.
        picker->close();
        writeList(installed.mid(0, 10) + QList<QByteArray>{"99999,None,None"} +
                  installed.mid(10, 166));
        picker = openPicker();
        QVERIFY(picker->isVisible());
        QVERIFY(!picker->ListView1->isVisible());
        QCOMPARE(picker->ImageList2.count(), 10);
        QVERIFY(f->prompts.messages().isEmpty());
    }

    void hiddenPickerKeepsItsList()
    {
        Form_IME *picker = openPicker();
        const QString first = caption(picker, 0);
        picker->resize(300, 200);
        picker->action("t_exit")->trigger();
        QVERIFY(!picker->isVisible());
        QCOMPARE(LoadedPictographPicker(main()), picker);
        // Opening again does not read the list again.
        writeList(QList<QByteArray>{"63647,Later,Later"} + installed.mid(1, 175));
        QCOMPARE(openPicker(), picker);
        QCOMPARE(caption(picker, 0), first);
        QCOMPARE(picker->size(), QSize(300, 200));
        // Reload does.
        picker->action("m_mref")->trigger();
        QCOMPARE(caption(picker, 0), QStringLiteral("Later\r [ Later ]"));
        // F12 hides; closing by the title bar unloads.
        picker->action("m_mexit")->trigger();
        QVERIFY(!picker->isVisible());
        picker->close();
        QVERIFY(!LoadedPictographPicker(main()));
    }

    void clickInsertsOverTheSelection_data()
    {
        QTest::addColumn<bool>("realtime");
        QTest::newRow("real-time preview on") << true;
        QTest::newRow("real-time preview off") << false;
    }

    void clickInsertsOverTheSelection()
    {
        QFETCH(bool, realtime);
        Form_Editer *doc = openPage("abcdef");
        main().action(Cmd::m_vrpr)->setChecked(realtime);
        const QString preview = ProgramFiles::preview(f->dir.path());
        writeFile(preview, "before");
        main().StatusBar1->setPanelText(2, "before");
        doc->RichTextBox1->setSelStart(1);
        doc->RichTextBox1->setSelLength(2);

        Form_IME *picker = openPicker();
        QListWidget *list = picker->ListView1;
        QVERIFY(QTest::qWaitForWindowExposed(picker));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(5)).center());

        QCOMPARE(list->toolTip(), QStringLiteral("&#63652;"));
        QVERIFY(!picker->isVisible());
        QCOMPARE(doc->RichTextBox1->Text(), QStringLiteral("a&#63652;def"));
        QCOMPARE(doc->RichTextBox1->SelStart(), 9);
        QCOMPARE(doc->RichTextBox1->SelLength(), 0);
        QCOMPARE(doc->UndoBuff.text.toString(), QStringLiteral("abcdef"));
        QCOMPARE(doc->BuffBuff.text.toString(), QStringLiteral("a&#63652;def"));
        QCOMPARE(doc->EditerFr, 3);
        QVERIFY(MDI_Module::TrackEdits);
        if (realtime) {
            QCOMPARE(readAll(preview), QByteArray("a&#63652;def"));
            QCOMPARE(main().StatusBar1->panelText(2), QStringLiteral("0.01 KB"));
        } else {
            QCOMPARE(readAll(preview), QByteArray("before"));
            QCOMPARE(main().StatusBar1->panelText(2), QStringLiteral("before"));
        }
        undo(doc);
        QCOMPARE(doc->RichTextBox1->Text(), QStringLiteral("abcdef"));
    }

    void buttonInsertsTheSelectedEntry()
    {
        Form_Editer *doc = openPage("xy");
        doc->RichTextBox1->setSelStart(2);
        Form_IME *picker = openPicker();
        picker->ListView1->setCurrentRow(2);
        picker->action("t_ime")->trigger();
        QCOMPARE(doc->RichTextBox1->Text(), QStringLiteral("xy&#63649;"));
        QVERIFY(!picker->isVisible());
        // Without a document window it only hides.
        doc->setCloseAgreed(true);
        qobject_cast<QMdiSubWindow *>(doc->parentWidget())->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(main().activeDocument(), nullptr);
        picker = openPicker();
        picker->action("m_mime")->trigger();
        QVERIFY(!picker->isVisible());
        QVERIFY(MDI_Module::TrackEdits);
    }

    void noteShowsItsText()
    {
        Form_IME *picker = openPicker();
        f->prompts.clear();
        picker->action("m_mtyu")->trigger();
        QCOMPARE(f->prompts.count(), 1);
        const MessageRequest note = f->prompts.messages().first();
        QCOMPARE(note.title, QStringLiteral("Shift-JISのテキスト入力について"));
        QCOMPARE(note.text,
                 QStringLiteral("\r\n■この記述方法は、現在のところ全機種で利用可能ですが、"
                                "NTT DoCoMoは推奨しておりません。\r\n\r\n"
                                "■拡張絵文字には、対応しておりません。"));
        QCOMPARE(note.buttons, Prompt::Buttons::Ok);
        QCOMPARE(note.icon, Prompt::Icon::Information);
    }

    void windowSizeToggleAndPopUp()
    {
        Form_IME *picker = openPicker();
        QVERIFY(QTest::qWaitForWindowExposed(picker));
        picker->action("m_mwin")->trigger();
        QVERIFY(picker->isMaximized());
        picker->action("m_mwin")->trigger();
        QVERIFY(!picker->isMaximized());
        // A double-click on the bar's free end does the same.
        QToolBar *bar = picker->Toolbar1;
        QTest::mouseDClick(bar, Qt::LeftButton, {}, QPoint(bar->width() - 4, bar->height() / 2));
        QVERIFY(picker->isMaximized());
        picker->showMinimized();
        picker->action("m_mwin")->trigger();
        QVERIFY(!picker->isMinimized() && !picker->isMaximized());

        for (QWidget *target : {picker->ListView1->viewport(), static_cast<QWidget *>(bar)}) {
            QTest::mousePress(target, Qt::RightButton, {}, QPoint(4, 4));
            QVERIFY(picker->m_menu->isVisible());
            picker->m_menu->hide();
        }
    }
};

ZEMLO_TEST_MAIN(TestPictographPicker)
#include "tst_pictographpicker.moc"
