// The library window itself: its controls, its load and unload, reading the library.
#include "taglib/Form_TAG.h"

#include "platform/ErrorBoxes.h"
#include "widgets/Artwork.h"
#include "documents/DocumentHost.h"
#include "platform/Prompts.h"
#include "taglib/TagLibraryPath.h"
#include "taglib/TagListItem.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QToolBar>
#include <QTreeWidget>

namespace {

struct MenuItem
{
    const char *name;
    const char *caption; // empty for a separator
    const char *key;
    void (Form_TAG::*handler)();
};

const MenuItem menuItems[] = {
    {"m_mtin", "TAGを挿入(&I)", "Shift+Ins", &Form_TAG::m_mtin_Click},
    {"m_mtco", "TAGのコピー(&C)", "Ctrl+Ins", nullptr},
    {"lm1", "", "", nullptr},
    {"m_madd", "ﾗｲﾌﾞﾗﾘへ追加(&A)", "Ctrl+A", &Form_TAG::m_madd_Click},
    {"m_medi", "ﾗｲﾌﾞﾗﾘの編集(&E)", "Ctrl+E", &Form_TAG::m_medi_Click},
    {"m_mdel", "ﾗｲﾌﾞﾗﾘから削除(&D)", "Ctrl+D", &Form_TAG::m_mdel_Click},
    {"lm2", "", "", nullptr},
    {"m_mnew", "新規ﾗｲﾌﾞﾗﾘの作成(&N)", "", &Form_TAG::m_mnew_Click},
    {"m_mche", "ﾗｲﾌﾞﾗﾘﾌｧｲﾙの切り替え(&L)", "Ctrl+L", &Form_TAG::m_mche_Click},
    {"lm3", "", "", nullptr},
    {"m_mref", "最新の情報に更新(&R)", "", &Form_TAG::m_mref_Click},
    {"m_mwin", "ｳｨﾝﾄﾞｳｻｲｽﾞ変更(&W)", "F11", &Form_TAG::m_mwin_Click},
    {"m_mexit", "閉じる(&X)", "F12", &Form_TAG::m_mexit_Click},
};

} // namespace

Form_TAG::Form_TAG(DocumentHost &host)
    // A tool window of the main window: kept above it, never lost behind it.
    : QMainWindow(host.dialogParent(), Qt::Tool), m_host(host)
{
    setObjectName("Form_TAG");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("My TAG Library"));
    setWindowIcon(Artwork::appIcon());
    buildMenu();
    buildToolbar();
    buildList();
    CommonDialog1.setPrompts(host.prompts());
    CommonDialog1.DefaultExt = QStringLiteral(".tag");
    CommonDialog1.Filter = QStringLiteral("TAG|*.tag|*.*|*.*");
}

void Form_TAG::buildMenu()
{
    m_menu = menuBar()->addMenu(QStringLiteral("ﾒﾆｭｰ(&M)"));
    m_menu->setObjectName("m_menu");
    for (const MenuItem &item : menuItems) {
        QAction *a = *item.caption ? m_menu->addAction(QString::fromUtf8(item.caption))
                                   : m_menu->addSeparator();
        a->setObjectName(QLatin1String(item.name));
        if (*item.key)
            a->setShortcut(QKeySequence(QLatin1String(item.key)));
        if (item.handler)
            connect(a, &QAction::triggered, this,
                    [this, handler = item.handler] { runKeepingFocus(handler); });
        m_actions.insert(a->objectName(), a);
    }
}

void Form_TAG::buildToolbar()
{
    ImageList1.insert(QStringLiteral("i_exit"), Artwork::buttonIcon(QStringLiteral("close")));
    ImageList1.insert(QStringLiteral("i_inp"), Artwork::buttonIcon(QStringLiteral("insertTag")));
    Toolbar1 = new QToolBar(this);
    Toolbar1->setObjectName("Toolbar1");
    Toolbar1->setMovable(false);
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    addToolBar(Qt::BottomToolBarArea, Toolbar1);
    const auto addButton = [this](const QString &key, const QString &image, const QString &text) {
        QAction *a = Toolbar1->addAction(ImageList1.value(image), text);
        a->setObjectName(key);
        connect(a, &QAction::triggered, this, [this, key] { Toolbar1_ButtonClick(key); });
        m_actions.insert(key, a);
    };
    addButton(QStringLiteral("t_exit"), QStringLiteral("i_exit"), QStringLiteral("閉じる"));
    addButton(QStringLiteral("t_inp"), QStringLiteral("i_inp"), QStringLiteral("TAG挿入"));
    Toolbar1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Toolbar1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { m_menu->popup(Toolbar1->mapToGlobal(at)); });
    Toolbar1->installEventFilter(this);
}

void Form_TAG::buildList()
{
    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName("ListView1");
    ListView1->setRootIsDecorated(false);
    ListView1->setAllColumnsShowFocus(true);
    ListView1->setUniformRowHeights(true);
    ListView1->header()->setSectionsClickable(true);
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    ListView1->installEventFilter(this);
    setCentralWidget(ListView1);
    // Hidden until a library has been read once.
    ListView1->hide();
    connect(ListView1, &QTreeWidget::itemDoubleClicked, this, &Form_TAG::m_mtin_Click);
    connect(ListView1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { m_menu->popup(ListView1->viewport()->mapToGlobal(at)); });
    connect(ListView1->header(), &QHeaderView::sectionClicked, this,
            &Form_TAG::ListView1_ColumnClick);
}

QAction *Form_TAG::action(const QString &name) const
{
    return m_actions.value(name);
}

void Form_TAG::Form_Load()
{
    LibraryName = LoadTagLibraryPath(m_host.programFolder());
    LibraryEdited = false;
    CommonDialog1.InitDir = QFileInfo(LibraryName).absolutePath();
    const QWidget *main = m_host.dialogParent();
    move(main->pos());
    resize(main->width() / 3, main->height());
    ListView1->clear();
    ListView1->setColumnCount(2);
    QTreeWidgetItem *headings = ListView1->headerItem();
    headings->setText(0, QStringLiteral(" Comment"));
    headings->setData(0, Qt::UserRole, QStringLiteral("h1"));
    headings->setText(1, QStringLiteral(" <TAG> Library"));
    headings->setData(1, Qt::UserRole, QStringLiteral("h2"));
    // Room for a comment of about ten full-width characters.
    ListView1->setColumnWidth(0, ListView1->fontMetrics().horizontalAdvance(u'\u3042') * 10);
    ListView1->setColumnWidth(1, width());
    ReloadLibrary();
}

void Form_TAG::ReloadLibrary()
{
    ListView1->clear();
    const TagLibraryRead read = ReadTagLibraryFile(LibraryName);
    m_readFailure = read.failure;
    m_droppedLine = read.droppedLine;
    for (const TagLibraryEntry &entry : read.entries)
        addRow(entry);
    keepSorted();
    // After a read the first entry counts as selected.
    if (ListView1->topLevelItemCount() > 0)
        ListView1->setCurrentItem(ListView1->topLevelItem(0));
    if (read.ok()) {
        ListView1->show();
        return;
    }
    const ZErrorInfo &e = *read.failure;
    ShowReadError(*m_host.prompts(), e);
}

void Form_TAG::addRow(const TagLibraryEntry &entry)
{
    auto *row = new TagListItem(ListView1);
    row->setText(0, entry.comment);
    row->setText(1, entry.tag);
}

QList<TagLibraryEntry> Form_TAG::entries() const
{
    QList<TagLibraryEntry> out;
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *row = ListView1->topLevelItem(i);
        out.append({row->text(0), row->text(1)});
    }
    return out;
}

void Form_TAG::closeEvent(QCloseEvent *event)
{
    if (!m_unloaded)
        Form_Unload();
    event->accept();
}

void Form_TAG::Form_Unload()
{
    m_unloaded = true;
    if (!LibraryEdited)
        return;
    const Prompt::Answer answer = m_host.prompts()->message(
        QStringLiteral("TAG Libraryの編集内容を保存しますか？"), Prompt::Buttons::OkCancel,
        Prompt::Icon::Question, QStringLiteral("確認"));
    if (answer == Prompt::Answer::Ok)
        saveLibrary();
}

void Form_TAG::runKeepingFocus(void (Form_TAG::*handler)())
{
    // A dialog hands the keyboard back to its owner, the main window, when it closes: Enter
    // meant for the list would then go into the page.
    const QPointer<QWidget> focus = isActiveWindow() ? QApplication::focusWidget() : nullptr;
    (this->*handler)();
    if (!focus || m_unloaded || !isVisible() || isActiveWindow())
        return;
    raise();
    activateWindow();
    // Where the window system already counts this window as active, it tells nothing more.
    if (!isActiveWindow())
        QApplication::setActiveWindow(this);
    focus->setFocus(Qt::ActiveWindowFocusReason);
}

QAction *Form_TAG::ownKeyOverMainWindow(const QKeyEvent *event) const
{
    const QKeySequence key(event->keyCombination());
    for (QAction *own : m_menu->actions()) {
        if (own->shortcut() != key || !own->isEnabled())
            continue;
        for (const QAction *other : m_host.dialogParent()->actions())
            if (other->shortcut() == key)
                return own;
    }
    return nullptr;
}

bool Form_TAG::event(QEvent *event)
{
    // A tool window keeps its owner's keys working, so a key both windows hold matches twice
    // and neither acts. Taken as a key press, it comes here after the list has had its say.
    if (event->type() == QEvent::ShortcutOverride &&
        ownKeyOverMainWindow(static_cast<QKeyEvent *>(event))) {
        event->accept();
        return true;
    }
    return QMainWindow::event(event);
}

void Form_TAG::keyPressEvent(QKeyEvent *event)
{
    if (QAction *own = ownKeyOverMainWindow(event)) {
        own->trigger();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

bool Form_TAG::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ListView1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            m_mtin_Click();
            return true;
        }
    }
    if (watched == Toolbar1 && event->type() == QEvent::MouseButtonDblClick) {
        m_mwin_Click();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}
