#include "tools/Form_IME.h"

#include "widgets/Artwork.h"
#include "documents/DocumentHost.h"
#include "documents/Form_Editer.h"
#include "documents/ToolInsertion.h"
#include "platform/Prompts.h"
#include "platform/StepRunner.h"
#include "tools/PictographDelegate.h"
#include "tools/PictographList.h"

#include <QCloseEvent>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QToolBar>

namespace {
// The pictures are small; doubled without smoothing they stay crisp.
constexpr int IconSide = 40;
constexpr int CellWidth = 116;
} // namespace

Form_IME::Form_IME(DocumentHost &host)
    // A tool window of the main window: kept above it, never lost behind it.
    : QMainWindow(host.dialogParent(), Qt::Tool), m_host(host)
{
    setObjectName("Form_IME");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("i-mode 絵文字"));
    m_client = new QWidget(this);
    setCentralWidget(m_client);
    buildMenu();
    buildList();
    buildToolbar();
    // Watched only once every part exists.
    for (QAction *button : Toolbar1->actions())
        Toolbar1->widgetForAction(button)->installEventFilter(this);
    Toolbar1->installEventFilter(this);
    ListView1->viewport()->installEventFilter(this);
    m_client->installEventFilter(this);
}

void Form_IME::buildMenu()
{
    m_menu = menuBar()->addMenu(QStringLiteral("ﾒﾆｭｰ(&M)"));
    m_menu->setObjectName("m_menu");
    addItem("m_mime", QStringLiteral("絵文字を挿入(&I)"), QKeySequence(Qt::SHIFT | Qt::Key_Insert));
    addItem("m_mtyu", QStringLiteral("※注意！"), {});
    m_menu->addSeparator();
    addItem("m_mref", QStringLiteral("最新の情報に更新(&R)"), {});
    addItem("m_mwin", QStringLiteral("ｳｨﾝﾄﾞｳｻｲｽﾞ変更"), QKeySequence(Qt::Key_F11));
    addItem("m_mexit", QStringLiteral("閉じる"), QKeySequence(Qt::Key_F12));
    connect(action("m_mime"), &QAction::triggered, this, &Form_IME::m_mime_Click);
    connect(action("m_mtyu"), &QAction::triggered, this, &Form_IME::m_mtyu_Click);
    connect(action("m_mref"), &QAction::triggered, this, &Form_IME::m_mref_Click);
    connect(action("m_mwin"), &QAction::triggered, this, &Form_IME::m_mwin_Click);
    connect(action("m_mexit"), &QAction::triggered, this, &Form_IME::m_mexit_Click);
}

QAction *Form_IME::addItem(const QString &name, const QString &caption, const QKeySequence &key)
{
    QAction *item = m_menu->addAction(caption);
    item->setObjectName(name);
    item->setShortcut(key);
    m_actions.insert(name, item);
    return item;
}

void Form_IME::buildToolbar()
{
    Toolbar1 = new QToolBar(m_client);
    Toolbar1->setObjectName("Toolbar1");
    Toolbar1->setMovable(false);
    const struct
    {
        const char *key;
        const char *image;
        QString tip;
    } buttons[] = {{"t_exit", "close", QStringLiteral("閉じる")},
                   {"t_ime", "insertPictograph", QStringLiteral("絵文字挿入")}};
    for (const auto &b : buttons) {
        QAction *button = Toolbar1->addAction(Artwork::buttonIcon(b.image), b.tip);
        button->setObjectName(b.key);
        button->setToolTip(b.tip);
        m_actions.insert(b.key, button);
        const QString key = b.key;
        connect(button, &QAction::triggered, this, [this, key] { Toolbar1_ButtonClick(key); });
    }
}

void Form_IME::buildList()
{
    ListView1 = new QListWidget(m_client);
    ListView1->setObjectName("ListView1");
    ListView1->setViewMode(QListView::IconMode);
    ListView1->setMovement(QListView::Static);
    ListView1->setResizeMode(QListView::Adjust);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setIconSize(QSize(IconSide, IconSide));
    const QSize cell = PictographDelegate::cellSize(CellWidth, IconSide, ListView1->font());
    ListView1->setItemDelegate(new PictographDelegate(cell, ListView1));
    ListView1->setGridSize(cell + QSize(4, 4));
    ListView1->setUniformItemSizes(true);
    // Hidden until a load has succeeded.
    ListView1->setVisible(false);
    connect(ListView1, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        ListView1_ItemClick(item);
        ListView1_Click();
    });
}

void Form_IME::Load()
{
    StepRunner steps;
    steps.run([this] { m_mref_Click(); });
    steps.run([this] {
        const QWidget *main = m_host.dialogParent();
        move(main->pos());
        resize(main->width(), main->height() / 2);
    });
}

void Form_IME::Form_Resize()
{
    StepRunner steps;
    steps.run([this] {
        const int height = m_client->height() - Toolbar1->height();
        // Too small for the list (minimised, say): it stays where it was.
        if (height < 0)
            throw ZError(ZErr::InvalidCall);
        ListView1->setGeometry(0, 0, m_client->width(), height);
    });
}

void Form_IME::m_mime_Click()
{
    StepRunner steps;
    steps.run([this] {
        const QList<QListWidgetItem *> selected = ListView1->selectedItems();
        Form_Editer *doc = m_host.activeDocument();
        if (selected.isEmpty() || !doc)
            return;
        InsertAtCaret(m_host, *doc, selected.first()->data(InsertionTextRole).toString());
    });
    hide();
}

void Form_IME::m_mtyu_Click()
{
    m_host.prompts()->message(
        QStringLiteral("\r\n■この記述方法は、現在のところ全機種で利用可能ですが、NTT "
                       "DoCoMoは推奨しておりません。\r\n\r\n■拡張絵文字には、対応しておりません。"),
        Prompt::Buttons::Ok, Prompt::Icon::Information,
        QStringLiteral("Shift-JISのテキスト入力について"));
}

void Form_IME::m_mref_Click()
{
    setCursor(Qt::WaitCursor);
    try {
        loadImages();
        fillList();
        ListView1->setVisible(true);
    } catch (const ZError &) {
        // A failed reload stops where it failed; the list keeps what it showed before.
    }
    // Back to normal also after a failure, so the picker never looks busy for good.
    unsetCursor();
}

void Form_IME::loadImages()
{
    const QString folder = m_host.programFolder();
    ImageList2.clear();
    const PictographListRead list = PictographList::read(PictographList::listPath(folder));
    // The records before a short list's end are stored, as reading them one by one would.
    for (const PictographRecord &record : list.records) {
        QPixmap picture;
        if (!picture.load(PictographList::imagePath(folder, record.Code), "GIF"))
            throw ZError(ZErr::FileNotFound);
        ImageList2.add(PictographList::keyOf(record), picture, PictographList::captionOf(record));
    }
    if (!list.ok())
        throw ZError(list.failure->number, list.failure->description);
}

void Form_IME::fillList()
{
    ListView1->clear();
    for (int i = 0; i < ImageList2.count(); ++i) {
        const ImageStore::Image &image = ImageList2.at(i);
        const QPixmap icon =
            image.picture.scaled(IconSide, IconSide, Qt::KeepAspectRatio, Qt::FastTransformation);
        auto *entry = new QListWidgetItem(QIcon(icon), image.text);
        entry->setData(InsertionTextRole, PictographList::insertionTextOf(image.key));
        ListView1->addItem(entry);
    }
    // As with any list, its first entry is the selected one until the user picks another.
    if (ListView1->count() > 0)
        ListView1->setCurrentRow(0);
}

void Form_IME::m_mwin_Click()
{
    if (isMinimized() || isMaximized())
        showNormal();
    else
        showMaximized();
}

void Form_IME::m_mexit_Click()
{
    hide();
}

void Form_IME::Toolbar1_ButtonClick(const QString &key)
{
    if (key == QLatin1String("t_ime"))
        m_mime_Click();
    else
        hide();
}

void Form_IME::ListView1_ItemClick(QListWidgetItem *item)
{
    ListView1->setToolTip(item->data(InsertionTextRole).toString());
}

void Form_IME::ListView1_Click()
{
    m_mime_Click();
}

void Form_IME::closeEvent(QCloseEvent *event)
{
    QMainWindow::closeEvent(event);
    m_unloaded = event->isAccepted();
}

bool Form_IME::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_client && event->type() == QEvent::Resize) {
        // The bar keeps to the bottom edge; the list takes what is left.
        Toolbar1->setGeometry(0, m_client->height() - Toolbar1->sizeHint().height(),
                              m_client->width(), Toolbar1->sizeHint().height());
        Form_Resize();
        return false;
    }
    const bool onList = watched == ListView1->viewport();
    const bool onBar = !onList && (watched == Toolbar1 || watched->parent() == Toolbar1);
    if (!onList && !onBar)
        return QMainWindow::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
        m_menu->popup(static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
        return true;
    }
    if (watched == Toolbar1 && event->type() == QEvent::MouseButtonDblClick) {
        m_mwin_Click();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}
