// The main window's whole command vocabulary, checked against a table written out here on its
// own: captions, access keys, shortcuts, buttons and tool tips, availability with and without
// a document, button dispatch, and the mouse gestures on the bars.
#include "CommandByName.h"
#include "MainWindowFixture.h"
#include "ZemloTestMain.h"

#include "app/CommandLine.h"
#include "app/CommandTable.h"
#include "app/StatusPanels.h"
#include "documents/Form_Editer.h"
#include "documents/OpenDocument.h"
#include "widgets/RichTextBox.h"

#include <QAction>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace {

// When an item may be used: always, only with a document, only with a document and the
// pictograph list, or never (the font item, whose command does nothing, is shown greyed).
enum class Av
{
    Always,
    Document,
    Pictograph,
    Greyed
};

struct Expected
{
    const char *name;
    const char *menu;
    const char *caption; // nullptr for a separator
    const char *key;
    const char *button; // Toolbar1 key, or "2:N" for Toolbar2 position N
    const char *tip;
    Av available;
};

const QList<Expected> &expectedItems()
{
    static const QList<Expected> list = {
        {"m_mnew", "m_menu", "新規作成(&N)", "Ctrl+N", "t_new", "新規作成", Av::Always},
        {"m_mtemp", "m_menu", "ﾃﾝﾌﾟﾚｰﾄを開く(&T)", "", "t_temp", "ﾃﾝﾌﾟﾚｰﾄを開く", Av::Always},
        {"m_mopen", "m_menu", "ﾌｧｲﾙを開く(&O)", "Ctrl+O", "t_open", "開く", Av::Always},
        {"m_msave", "m_menu", "ﾌｧｲﾙの保存(&S)", "Ctrl+S", "t_save", "保存", Av::Document},
        {"m_msaas", "m_menu", "名前を付けて保存(&A)", "", "t_name", "名前を付けて保存",
         Av::Document},
        {"m_mutf8", "m_menu", "UTF-8 で書き出し(&U)...", "", "", "", Av::Document},
        {"m_mclos", "m_menu", "ﾌｧｲﾙを閉じる(&C)", "", "", "", Av::Document},
        {"lm3", "m_menu", nullptr, "", "", "", Av::Always},
        {"m_msite", "m_menu", "サイトを開く(&D)...", "", "", "", Av::Always},
        {"m_mslnk", "m_menu", "サイトのリンクチェック(&L)", "", "", "", Av::Always},
        {"m_msfnd", "m_menu", "サイト内を検索(&K)...", "", "", "", Av::Always},
        {"m_msutf", "m_menu", "サイトを UTF-8 で書き出し(&E)...", "", "", "", Av::Always},
        {"lm1", "m_menu", nullptr, "", "", "", Av::Always},
        {"m_mrel", "m_menu", "再読み込み(&R)", "", "", "", Av::Document},
        {"m_minf", "m_menu", "ﾌｧｲﾙｲﾝﾌｫﾒｰｼｮﾝ(&I)", "", "", "", Av::Document},
        {"lm2", "m_menu", nullptr, "", "", "", Av::Always},
        {"m_mwin", "m_menu", "ｳｨﾝﾄﾞｳｻｲｽﾞ(&W)", "", "", "", Av::Always},
        {"m_mexit", "m_menu", "終了(&X)", "Ctrl+Q", "t_exit", "", Av::Always},

        {"m_eund", "m_edit", "元に戻す(&U)", "Ctrl+Z", "t_load", "編集を戻す", Av::Document},
        {"le1", "m_edit", nullptr, "", "", "", Av::Document},
        {"m_etag", "m_edit", "定型TAGの挿入", "Ctrl+T", "t_tag", "TAG挿入", Av::Document},
        {"m_eime", "m_edit", "i-mode絵文字の挿入", "Ctrl+I", "t_ime", "絵文字挿入", Av::Pictograph},
        {"m_efon", "m_edit", "ﾌｫﾝﾄ設定(&F)", "", "", "", Av::Greyed},
        {"m_ecol", "m_edit", "ｶﾗｰﾊﾟﾚｯﾄ(&C)", "Ctrl+P", "t_pall", "ｶﾗｰﾊﾟﾚｯﾄ", Av::Document},
        {"m_ezth", "m_edit", "全角カタカナ ⇒ 半角ｶﾀｶﾅ変換", "", "", "", Av::Document},
        {"le2", "m_edit", nullptr, "", "", "", Av::Document},
        {"m_efind", "m_edit", "検索(&F)...", "Ctrl+F", "", "", Av::Document},
        {"m_enext", "m_edit", "次を検索", "F3", "", "", Av::Document},
        {"m_eprev", "m_edit", "前を検索", "Shift+F3", "", "", Av::Document},
        {"m_erepl", "m_edit", "置換(&R)...", "Ctrl+H", "", "", Av::Document},
        {"m_egoto", "m_edit", "行へ移動(&G)...", "Ctrl+G", "", "", Av::Document},

        {"m_vtag", "m_view", "TAGｶﾗｰ(&C)", "F11", "2:8", "TAGｶﾗｰ", Av::Document},
        {"m_vtcl", "m_view", "TAGｶﾗｰの取得(&T)", "", "", "", Av::Always},
        {"m_vpre", "m_view", "ﾌﾟﾚﾋﾞｭｰ(&P)", "F12", "2:7", "ﾌﾟﾚﾋﾞｭｰ", Av::Document},
        {"m_vrpr", "m_view", "ﾘｱﾙﾀｲﾑﾌﾟﾚﾋﾞｭｰ(&R)", "", "", "", Av::Always},
        {"lv1", "m_view", nullptr, "", "", "", Av::Always},
        {"m_vb08", "m_view", "i-mode 8文字相当(&8)", "", "", "", Av::Always},
        {"m_vb10", "m_view", "i-mode 10文字相当(&0)", "", "", "", Av::Always},
        {"m_vtyui", "m_view", "※注意", "", "", "", Av::Always},
        {"lv2", "m_view", nullptr, "", "", "", Av::Always},
        {"m_vchk", "m_view", "機種チェック(&K)", "F9", "", "", Av::Always},

        {"m_nback", "m_navi", "戻る(&B)", "", "2:1", "戻る", Av::Always},
        {"m_nnext", "m_navi", "次へ(&N)", "", "2:2", "次へ", Av::Always},
        {"m_nstop", "m_navi", "中止(&S)", "", "2:4", "中止", Av::Always},
        {"m_nrefr", "m_navi", "最新の情報に更新(&R)", "", "2:5", "更新", Av::Always},
        {"ln1", "m_navi", nullptr, "", "", "", Av::Always},
        {"m_nhome", "m_navi", "ﾎｰﾑへ(&H)", "", "", "", Av::Always},

        {"m_wt", "m_win", "上下に並べて表示(&H)", "", "t_winV", "上下に並べて表示", Av::Document},
        {"m_wy", "m_win", "左右に並べて表示(&V)", "", "t_winH", "左右に並べて表示", Av::Document},
        {"m_wc", "m_win", "重ねて表示(&C)", "", "t_winC", "重ねて表示", Av::Document},
        {"lw1", "m_win", nullptr, "", "", "", Av::Document},
        {"m_wclose", "m_win", "全て閉じる(&A)", "", "", "", Av::Document},
    };
    return list;
}

// The action that stands for a button: Toolbar1 buttons by key, Toolbar2 ones by position.
QString buttonActionName(const QString &button)
{
    if (!button.startsWith("2:"))
        return button;
    const int position = button.mid(2).toInt();
    if (position == 7)
        return "t_pre";
    if (position == 8)
        return "t_col";
    return QStringLiteral("Toolbar2_%1").arg(position);
}

QString writePage(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.path() + "/" + name;
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}

// Usable from the menu bar: the item enabled and its menu shown.
bool usableFromMenuBar(MDI_Main *w, const QString &item, const QString &menu)
{
    return w->action(item)->isEnabled() && w->menu(menu)->menuAction()->isVisible();
}

// Replaces every item's handler by one that records the item's name.
void recordHandlers(MDI_Main *w, QStringList &ran)
{
    for (const Expected &e : expectedItems())
        if (e.caption)
            w->setHandler(commandNamed(e.name), [&ran, name = QString(e.name)] { ran << name; });
}

QMenu *visiblePopup(MDI_Main *w)
{
    for (const char *name : {"m_menu", "m_edit", "m_view", "m_navi", "m_win"})
        if (w->menu(name)->isVisible())
            return w->menu(name);
    return nullptr;
}

} // namespace

class TestCommands : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void menusCarryTheirItemsInOrder_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("items");
        const QList<QPair<const char *, const char *>> menus = {{"m_menu", "ﾌｧｲﾙ(&F)"},
                                                                {"m_edit", "編集(&E)"},
                                                                {"m_view", "表示(&V)"},
                                                                {"m_navi", "ﾅﾋﾞｹﾞｰｼｮﾝ(&N)"},
                                                                {"m_win", "ｳｨﾝﾄﾞｳ(&W)"}};
        for (const auto &[menu, caption] : menus) {
            QStringList items;
            for (const Expected &e : expectedItems())
                if (QString(e.menu) == menu)
                    items << e.name;
            // The recent pages' submenu, which is not a command.
            if (QString(menu) == "m_menu")
                items.insert(items.indexOf("lm2"), "m_mmru");
            // The phones a page is for, not a command either.
            if (QString(menu) == "m_view")
                items.insert(items.indexOf("m_vchk"), "m_vtarget");
            QTest::newRow(menu) << QString(menu) << QString(caption) << items;
        }
    }
    void menusCarryTheirItemsInOrder()
    {
        QFETCH(QString, menu);
        QFETCH(QString, caption);
        QFETCH(QStringList, items);
        MainWindowFixture f;
        QMenu *m = f.window->menu(menu);
        QVERIFY(m);
        QCOMPARE(m->title(), caption);
        QStringList names;
        for (QAction *a : m->actions())
            names << a->objectName();
        QCOMPARE(names, items);
    }

    void menuBarOrder()
    {
        MainWindowFixture f;
        QStringList names;
        for (QAction *a : f.window->menuBar()->actions())
            names << a->objectName();
        QCOMPARE(names, (QStringList{"m_menu", "m_edit", "m_view", "m_navi", "m_win"}));
    }

    void itemCaptionKeyButtonAndTip_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("separator");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("tip");
        for (const Expected &e : expectedItems())
            QTest::newRow(e.name) << QString(e.name) << (e.caption == nullptr) << QString(e.caption)
                                  << QString(e.key) << QString(e.button) << QString(e.tip);
    }
    void itemCaptionKeyButtonAndTip()
    {
        QFETCH(QString, name);
        QFETCH(bool, separator);
        QFETCH(QString, caption);
        QFETCH(QString, key);
        QFETCH(QString, button);
        QFETCH(QString, tip);
        MainWindowFixture f;
        // With a document, so that every menu is shown with its keys.
        QVERIFY(OpenDocument(*f.window, writePage(f.dir, "a.html", "a\r\n")));
        QAction *a = f.window->action(name);
        QVERIFY(a);
        QCOMPARE(a->isSeparator(), separator);
        if (separator)
            return;
        QCOMPARE(a->text(), caption);
        QCOMPARE(a->shortcut(), QKeySequence(key));
        if (button.isEmpty())
            return;
        QAction *b = f.window->action(buttonActionName(button));
        QVERIFY2(b, qPrintable(button));
        QCOMPARE(b->toolTip(), tip);
        // The button sits on its bar, and Toolbar2 ones at their position.
        QToolBar *bar = button.startsWith("2:") ? f.window->Toolbar2 : f.window->Toolbar1;
        QVERIFY(bar->actions().contains(b));
        if (button.startsWith("2:"))
            QCOMPARE(bar->actions().indexOf(b) + 1, button.mid(2).toInt());
    }

    void toolbarsInOrder()
    {
        MainWindowFixture f;
        QStringList bar1;
        for (QAction *a : f.window->Toolbar1->actions())
            bar1 << (a->isSeparator() ? QString("|") : a->objectName());
        QCOMPARE(bar1, (QStringList{"t_exit", "|", "t_new", "t_temp", "t_open", "t_save", "t_name",
                                    "|", "t_load", "t_tag", "t_ime", "t_pall", "|", "t_winV",
                                    "t_winH", "t_winC"}));
        QStringList bar2;
        for (QAction *a : f.window->Toolbar2->actions())
            bar2 << (a->isSeparator() ? QString("|") : a->toolTip());
        QCOMPARE(bar2,
                 (QStringList{"戻る", "次へ", "|", "中止", "更新", "|", "ﾌﾟﾚﾋﾞｭｰ", "TAGｶﾗｰ"}));
    }

    // Commands are named in code by constants; each must be a real item of the table, and
    // every item that runs something must have one.
    void commandConstantsAreTheTableItems()
    {
        QStringList constants;
        for (const Command &c : Cmd::all)
            constants << c.toString();
        QStringList items, expected;
        for (const CommandTable::Item &item : CommandTable::items())
            if (!item.isSeparator())
                items << item.name;
        for (const Expected &e : expectedItems())
            if (e.caption)
                expected << e.name;
        constants.sort();
        items.sort();
        expected.sort();
        QCOMPARE(constants, expected);
        QCOMPARE(items, expected);
    }

    void fontSettingsChangeNothing()
    {
        MainWindowFixture f;
        Form_Editer *doc = f.openPage("a.html", "<p>a</p>\r\n");
        QVERIFY(doc);
        const RichImage before = doc->RichTextBox1->TextRTF();
        QAction *fontSettings = f.window->action(Cmd::m_efon);
        QVERIFY(!fontSettings->isEnabled());
        fontSettings->trigger();
        f.window->runCommand(Cmd::m_efon);
        QVERIFY(doc->RichTextBox1->TextRTF() == before);
        QCOMPARE(doc->EditerFr, Form_Editer::Unmodified);
        QCOMPARE(f.prompts.count(), 0);
    }

    void availabilityInBothStates_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("pictographList");
        QTest::addColumn<bool>("withoutDocument");
        QTest::addColumn<bool>("withDocument");
        for (const bool list : {true, false}) {
            for (const Expected &e : expectedItems()) {
                if (!e.caption)
                    continue;
                const bool always = e.available == Av::Always;
                bool doc = always || e.available == Av::Document;
                if (e.available == Av::Pictograph)
                    doc = list;
                QTest::addRow("%s%s", e.name, list ? "" : " without pictograph list")
                    << QString(e.name) << QString(e.menu) << QString(e.button) << list << always
                    << doc;
            }
        }
    }
    void availabilityInBothStates()
    {
        QFETCH(QString, name);
        QFETCH(QString, menu);
        QFETCH(QString, button);
        QFETCH(bool, pictographList);
        QFETCH(bool, withoutDocument);
        QFETCH(bool, withDocument);
        MainWindowFixture f({}, pictographList);
        MDI_Main *w = f.window;
        QAction *b = button.isEmpty() ? nullptr : w->action(buttonActionName(button));

        QCOMPARE(usableFromMenuBar(w, name, menu), withoutDocument);
        if (b)
            QCOMPARE(b->isEnabled(), withoutDocument);

        const QString page = writePage(f.dir, "a.html", "<html>a</html>\r\n");
        QVERIFY(OpenDocument(*w, page));
        QCOMPARE(usableFromMenuBar(w, name, menu), withDocument);
        if (b)
            QCOMPARE(b->isEnabled(), withDocument);

        // The last document's close returns to the first state.
        QVERIFY(w->activeDocument());
        w->runCommand(Cmd::m_mclos);
        QTRY_VERIFY(w->documents().isEmpty());
        QCOMPARE(usableFromMenuBar(w, name, menu), withoutDocument);
        if (b)
            QCOMPARE(b->isEnabled(), withoutDocument);
    }

    void buttonRunsItsItem_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("item");
        for (const Expected &e : expectedItems())
            if (*e.button)
                QTest::newRow(e.button) << QString(e.button) << QString(e.name);
    }
    void buttonRunsItsItem()
    {
        QFETCH(QString, button);
        QFETCH(QString, item);
        MainWindowFixture f;
        MDI_Main *w = f.window;
        QVERIFY(OpenDocument(*w, writePage(f.dir, "a.html", "<p>\r\n")));
        QStringList ran;
        recordHandlers(w, ran);

        // A real click on the button as the bar shows it.
        QAction *b = w->action(buttonActionName(button));
        QToolBar *bar = button.startsWith("2:") ? w->Toolbar2 : w->Toolbar1;
        QWidget *widget = bar->widgetForAction(b);
        QVERIFY(widget);
        QTest::mouseClick(widget, Qt::LeftButton);
        QCOMPARE(ran, QStringList{item});

        // The dispatch routines by key and by position.
        ran.clear();
        if (button.startsWith("2:"))
            w->Toolbar2_ButtonClick(button.mid(2).toInt());
        else
            w->Toolbar1_ButtonClick(button);
        QCOMPARE(ran, QStringList{item});

        // The menu item itself.
        ran.clear();
        w->action(item)->trigger();
        QCOMPARE(ran, QStringList{item});
    }

    void toolbar2SeparatorsAndUnknownKeysRunNothing()
    {
        MainWindowFixture f;
        MDI_Main *w = f.window;
        QVERIFY(OpenDocument(*w, writePage(f.dir, "a.html", "<p>\r\n")));
        QStringList ran;
        recordHandlers(w, ran);
        for (int position : {0, 3, 6, 9})
            w->Toolbar2_ButtonClick(position);
        w->Toolbar1_ButtonClick("t_nothing");
        QCOMPARE(ran, QStringList());
    }

    // A key runs its item exactly while the item is usable; the keys of a hidden menu rest.
    void shortcutKeysRunTheirItems_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("withDocument");
        QTest::addColumn<bool>("runs");
        for (const bool doc : {false, true})
            for (const Expected &e : expectedItems())
                if (*e.key)
                    QTest::addRow("%s %s", e.name, doc ? "document" : "no document")
                        << QString(e.name) << QString(e.key) << doc
                        << (e.available == Av::Always || doc);
    }
    void shortcutKeysRunTheirItems()
    {
        QFETCH(QString, item);
        QFETCH(QString, key);
        QFETCH(bool, withDocument);
        QFETCH(bool, runs);
        MainWindowFixture f;
        MDI_Main *w = f.window;
        if (withDocument) {
            QVERIFY(OpenDocument(*w, writePage(f.dir, "a.html", "<p>\r\n")));
        } else {
            // Back in the first state after a document was there.
            QVERIFY(OpenDocument(*w, writePage(f.dir, "a.html", "<p>\r\n")));
            w->runCommand(Cmd::m_mclos);
            QTRY_VERIFY(w->documents().isEmpty());
        }
        QStringList ran;
        recordHandlers(w, ran);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        const QKeyCombination combo = QKeySequence(key)[0];
        // A page just opened has the keyboard; the keys reach the commands from its text.
        QWidget *focus = QApplication::focusWidget() ? QApplication::focusWidget() : w;
        if (withDocument)
            QCOMPARE(focus, w->activeDocument()->RichTextBox1);
        QTest::keyClick(focus, combo.key(), combo.keyboardModifiers());
        QCOMPARE(ran, runs ? QStringList{item} : QStringList());
    }

    void crossedTilingButtonsArrangeAsTheirItems()
    {
        MainWindowFixture f;
        MDI_Main *w = f.window;
        w->resize(900, 700);
        QVERIFY(OpenDocument(*w, writePage(f.dir, "a.html", "a\r\n")));
        QVERIFY(OpenDocument(*w, writePage(f.dir, "b.html", "b\r\n")));
        const QList<QMdiSubWindow *> subs = w->mdiArea->subWindowList();
        QCOMPARE(subs.size(), 2);
        const QSize area = w->mdiArea->viewport()->size();

        // t_winV: one above the other, each as wide as the client area.
        QTest::mouseClick(w->Toolbar1->widgetForAction(w->action("t_winV")), Qt::LeftButton);
        QCOMPARE(subs[0]->x(), subs[1]->x());
        QCOMPARE(subs[0]->width(), area.width());
        QCOMPARE(subs[1]->width(), area.width());
        QVERIFY(subs[0]->y() != subs[1]->y());

        // t_winH: side by side, each as high as the client area.
        QTest::mouseClick(w->Toolbar1->widgetForAction(w->action("t_winH")), Qt::LeftButton);
        QCOMPARE(subs[0]->y(), subs[1]->y());
        QCOMPARE(subs[0]->height(), area.height());
        QCOMPARE(subs[1]->height(), area.height());
        QVERIFY(subs[0]->x() != subs[1]->x());
    }

    void windowItemsWithoutDocumentsActOnNothing()
    {
        MainWindowFixture f;
        MDI_Main *w = f.window;
        for (const char *item : {"m_wt", "m_wy", "m_wc", "m_wclose"})
            w->action(item)->trigger();
        QVERIFY(w->documents().isEmpty());
        QVERIFY(w->isVisible());
        QCOMPARE(f.prompts.count(), 0);
    }

    void mouseGestures_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<bool>("withDocument");
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("doubleClick");
        QTest::addColumn<QString>("popup");
        QTest::addColumn<QString>("command");
        const int R = Qt::RightButton, L = Qt::LeftButton, M = Qt::MiddleButton;
        const int none = Qt::NoModifier;
        QTest::newRow("Toolbar1 right") << "Toolbar1" << false << R << none << false << "m_menu"
                                        << "";
        QTest::newRow("Toolbar1 button right")
            << "t_open" << false << R << none << false << "m_menu"
            << "";
        QTest::newRow("Toolbar1 right with Shift")
            << "Toolbar1" << false << R << int(Qt::ShiftModifier) << false << "m_menu"
            << "";
        QTest::newRow("Toolbar1 left") << "Toolbar1" << false << L << none << false << ""
                                       << "";
        QTest::newRow("Toolbar1 middle") << "Toolbar1" << false << M << none << false << ""
                                         << "";
        QTest::newRow("Toolbar1 double click") << "Toolbar1" << false << L << none << true << ""
                                               << "m_mwin";
        QTest::newRow("StatusBar1 right") << "StatusBar1" << false << R << none << false << "m_menu"
                                          << "";
        QTest::newRow("StatusBar1 right with Ctrl")
            << "StatusBar1" << false << R << int(Qt::ControlModifier) << false << "m_menu"
            << "";
        QTest::newRow("StatusBar1 middle") << "StatusBar1" << false << M << none << false << ""
                                           << "";
        QTest::newRow("StatusBar1 double click") << "StatusBar1" << false << L << none << true << ""
                                                 << "m_mwin";
        QTest::newRow("Toolbar2 right") << "Toolbar2" << false << R << none << false << "m_view"
                                        << "";
        QTest::newRow("Toolbar2 double click") << "Toolbar2" << false << L << none << true << ""
                                               << "";
        QTest::newRow("client area right, no document")
            << "client" << false << R << none << false << "m_win"
            << "";
        QTest::newRow("client area right, document")
            << "client" << true << R << none << false << "m_win"
            << "";
        QTest::newRow("client area left") << "client" << false << L << none << false << ""
                                          << "";
        QTest::newRow("client area double click") << "client" << false << L << none << true << ""
                                                  << "";
    }
    void mouseGestures()
    {
        QFETCH(QString, where);
        QFETCH(bool, withDocument);
        QFETCH(int, button);
        QFETCH(int, modifiers);
        QFETCH(bool, doubleClick);
        QFETCH(QString, popup);
        QFETCH(QString, command);
        MainWindowFixture f;
        MDI_Main *w = f.window;
        if (withDocument) {
            QVERIFY(OpenDocument(*w, writePage(f.dir, "a.html", "a\r\n")));
            // Leave room beside the document window.
            w->activeDocument()->parentWidget()->showNormal();
            w->activeDocument()->parentWidget()->setGeometry(0, 0, 100, 100);
        }
        QStringList ran;
        recordHandlers(w, ran);

        QWidget *target = nullptr;
        QPoint at;
        if (where == "Toolbar1") {
            target = w->Toolbar1;
            at = QPoint(w->Toolbar1->width() - 4, w->Toolbar1->height() / 2); // past the buttons
        } else if (where == "Toolbar2") {
            target = w->Toolbar2;
            at = QPoint(w->Toolbar2->width() - 2, w->Toolbar2->height() / 2);
        } else if (where == "StatusBar1") {
            target = w->StatusBar1;
            at = QPoint(w->StatusBar1->width() / 3, w->StatusBar1->height() / 2);
        } else if (where == "client") {
            target = w->mdiArea->viewport();
            at = QPoint(target->width() - 10, target->height() - 10);
        } else {
            target = w->Toolbar1->widgetForAction(w->action(where));
            at = target->rect().center();
        }
        QVERIFY(target);
        // Deliver where the pointer really is, child widget included.
        QWidget *receiver = target->childAt(at) ? target->childAt(at) : target;
        const QPoint local = receiver->mapFrom(target, at);
        const auto b = Qt::MouseButton(button);
        const auto mods = Qt::KeyboardModifiers(modifiers);
        if (doubleClick)
            QTest::mouseDClick(receiver, b, mods, local);
        else
            QTest::mousePress(receiver, b, mods, local);

        QMenu *shown = visiblePopup(w);
        QCOMPARE(shown ? shown->objectName() : QString(), popup);
        if (shown) {
            // At the pointer, where the menu fits on the screen.
            const QPoint pointer = receiver->mapToGlobal(local);
            if (w->screen()->geometry().contains(QRect(pointer, shown->size())))
                QCOMPARE(shown->pos(), pointer);
            shown->hide();
        } else if (!doubleClick) {
            QTest::mouseRelease(receiver, b, mods, local);
        }
        QCOMPARE(ran, command.isEmpty() ? QStringList() : QStringList{command});
    }

    void windowSizeToggles()
    {
        MainWindowFixture f;
        MDI_Main *w = f.window;
        QVERIFY(!(w->windowState() & Qt::WindowMaximized));
        QTest::mouseDClick(w->StatusBar1, Qt::LeftButton, {}, QPoint(5, 5));
        QTRY_VERIFY(w->windowState() & Qt::WindowMaximized);
        w->runCommand(Cmd::m_mwin);
        QTRY_VERIFY(!(w->windowState() & Qt::WindowMaximized));
        w->showMinimized();
        w->runCommand(Cmd::m_mwin);
        QTRY_COMPARE(w->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized),
                     Qt::WindowStates());
    }

    // A shell or a desktop entry passes paths bare, and each is opened; "--open" takes each one
    // as it stands, spaces and quotes and all; a line holding quotes opens its quoted paths.
    void openOptionTakesEachPathAsGiven_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("paths");
        QTest::newRow("quoted by the caller") << QStringList{"zemlo", "\"/a b.html\"", "\"/c.htm\""}
                                              << QStringList{"/a b.html", "/c.htm"};
        QTest::newRow("bare paths") << QStringList{"zemlo", "/a.html", "b c.html", "ページ.html"}
                                    << QStringList{"/a.html", "b c.html", "ページ.html"};
        QTest::newRow("empty arguments name nothing")
            << QStringList{"zemlo", "", "a.html", ""} << QStringList{"a.html"};
        QTest::newRow("one argument holding quoted paths")
            << QStringList{"zemlo", "\"/a.html\" \"/b.html\""} << QStringList{"/a.html", "/b.html"};
        QTest::newRow("a quoted pair across arguments")
            << QStringList{"zemlo", "\"/p/a", "b.html\""} << QStringList{"/p/a b.html"};
        QTest::newRow("unquoted text beside a quoted path")
            << QStringList{"zemlo", "x", "\"/a.html\"", "y"} << QStringList{"/a.html"};
        QTest::newRow("--open after a bare path is a path")
            << QStringList{"zemlo", "/a.html", "--open"} << QStringList{"/a.html", "--open"};
        QTest::newRow("--open with spaces")
            << QStringList{"zemlo", "--open", "/x y/a.html", "/b.tmp"}
            << QStringList{"/x y/a.html", "/b.tmp"};
        QTest::newRow("--open alone") << QStringList{"zemlo", "--open"} << QStringList{};
        QTest::newRow("--open not first")
            << QStringList{"zemlo", "\"/a.html\"", "--open", "/b.html"} << QStringList{"/a.html"};
        QTest::newRow("--open with a quote in a name")
            << QStringList{"zemlo", "--open", "/x/say \"hi\".html", "/b.html"}
            << QStringList{"/x/say \"hi\".html", "/b.html"};
        QTest::newRow("--open with a quoted name")
            << QStringList{"zemlo", "--open", "\"/a.html\""} << QStringList{"\"/a.html\""};
        QTest::newRow("--open with quote, space, quote")
            << QStringList{"zemlo", "--open", "/x/a\" \"b.html"} << QStringList{"/x/a\" \"b.html"};
        QTest::newRow("--open twice") << QStringList{"zemlo", "--open", "--open"}
                                      << QStringList{"--open"};
    }
    void openOptionTakesEachPathAsGiven()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, paths);
        QCOMPARE(CommandLinePaths(arguments), paths);
    }
};

ZEMLO_TEST_MAIN(TestCommands)
#include "tst_commands.moc"
