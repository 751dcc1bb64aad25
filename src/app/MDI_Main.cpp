#include "app/MDI_Main.h"

#include "app/CommandTable.h"
#include "app/MDI_Module.h"
#include "app/PhoneCheckPane.h"
#include "app/Settings.h"
#include "app/StatusPanels.h"
#include "documents/Form_Editer.h"
#include "documents/RecoveryJournal.h"
#include "widgets/Artwork.h"
#include "widgets/Twips.h"
#include "widgets/WebBrowser.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

MDI_Main::MDI_Main(const QString &programFolder, Prompts *prompts, QWidget *parent)
    : QMainWindow(parent), CommonDialog1(prompts), m_programFolder(programFolder),
      m_prompts(prompts)
{
    setObjectName("MDI_Main");
    m_journal = std::make_unique<RecoveryJournal>(ProgramFiles::recoveryJournal(programFolder));
    // A disk that is full or a folder that cannot be written says so once, in the status bar.
    m_journal->onFailure = [this](const QString &message) { showStatus(message); };
    setWindowTitle(QStringLiteral("Zemlo"));
    setWindowIcon(Artwork::appIcon());
    setAcceptDrops(true);
    buildMenus();
    buildToolbar1();
    buildPanes();
    StatusBar1 = new StatusPanels(this);
    setStatusBar(StatusBar1);
    StatusBar1->installEventFilter(this);
    setCursor(Artwork::customPointer());
    wireBuiltInCommands();
    m_phoneCheck = InstallPhoneCheck(*this);
}

MDI_Main::~MDI_Main()
{
    // Document windows go first, while the commands they switch off still exist.
    for (QMdiSubWindow *sub : mdiArea->subWindowList())
        delete sub;
    // Their journals are gone with them; an empty folder is not left behind either.
    m_journal->waitForIdle();
    QDir().rmdir(m_journal->folder());
}

void MDI_Main::buildMenus()
{
    for (const auto &m : CommandTable::menus()) {
        auto *menu = menuBar()->addMenu(m.caption);
        menu->setObjectName(m.name);
        menu->menuAction()->setObjectName(m.name);
        m_menus.insert(m.name, menu);
    }
    for (const auto &item : CommandTable::items()) {
        QMenu *menu = m_menus.value(item.menu);
        QAction *action = item.isSeparator() ? menu->addSeparator() : menu->addAction(item.caption);
        action->setObjectName(item.name);
        m_actions.insert(item.name, action);
        if (item.isSeparator())
            continue;
        action->setShortcut(item.key);
        // An item that does nothing is shown greyed.
        action->setEnabled(item.available != CommandTable::Availability::Never);
        // Shortcuts stay live while their menu is hidden in the menu bar.
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        connect(action, &QAction::triggered, this, [this, name = item.name] {
            if (auto handler = m_handlers.value(name))
                handler();
        });
    }
    for (const char *name : {"m_vtcl", "m_vrpr", "m_vb08", "m_vb10"})
        m_actions.value(name)->setCheckable(true);
    buildRecentMenu();
}

void MDI_Main::buildToolbar1()
{
    Toolbar1 = addToolBar(QStringLiteral("Toolbar1"));
    Toolbar1->setObjectName("Toolbar1");
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    Toolbar1->setContextMenuPolicy(Qt::PreventContextMenu);
    Toolbar1->setIconSize(QSize(24, 24));
    Toolbar1->setFixedHeight(Twips::toPixels(600, this));
    Toolbar1->installEventFilter(this);
    for (const QString &key : CommandTable::toolbar1Keys()) {
        if (key.isEmpty()) {
            Toolbar1->addSeparator();
            continue;
        }
        const auto *item = CommandTable::find(CommandTable::itemForButton(key));
        QAction *button = Toolbar1->addAction(Artwork::buttonIcon(key), item->toolTip);
        button->setObjectName(key);
        // t_exit has no tool tip of its own.
        button->setToolTip(item->toolTip.isEmpty() ? QString() : item->toolTip);
        if (item->toolTip.isEmpty())
            button->setText(QString());
        m_actions.insert(key, button);
        connect(button, &QAction::triggered, this, [this, key] { Toolbar1_ButtonClick(key); });
    }
    // Double clicks on the bar reach it through its buttons' free space.
    for (auto *child : Toolbar1->findChildren<QToolButton *>())
        child->installEventFilter(this);
}

void MDI_Main::buildPanes()
{
    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    Picture1 = new QWidget(central);
    Picture1->setObjectName("Picture1");
    Combo1 = new QComboBox(Picture1);
    Combo1->setObjectName("Combo1");
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setCursor(Artwork::customPointer());
    // The box keeps the focus and hands its keys to its line edit directly: both are watched.
    Combo1->installEventFilter(this);
    Combo1->lineEdit()->installEventFilter(this);
    // The pane is as high as the box in it, so that the box shows whole.
    Picture1->setFixedHeight(std::max(Twips::toPixels(315, this), Combo1->sizeHint().height()));
    Picture1->installEventFilter(this);
    column->addWidget(Picture1);

    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    Picture2 = new QWidget(central);
    Picture2->setObjectName("Picture2");
    Picture2->setFixedWidth(Twips::toPixels(3120, this));
    Picture2->installEventFilter(this);
    Toolbar2 = new QToolBar(QStringLiteral("Toolbar2"), Picture2);
    Toolbar2->setObjectName("Toolbar2");
    Toolbar2->setIconSize(QSize(16, 16));
    Toolbar2->setContextMenuPolicy(Qt::PreventContextMenu);
    Toolbar2->setFixedHeight(Twips::toPixels(360, this));
    Toolbar2->installEventFilter(this);
    for (int pos = 1; pos <= 8; ++pos) {
        const QString key = CommandTable::toolbar2Keys().at(pos - 1);
        if (key.isEmpty()) {
            Toolbar2->addSeparator();
            continue;
        }
        const QString tip = CommandTable::toolbar2Tip(pos);
        QAction *button = Toolbar2->addAction(Artwork::buttonIcon(key), tip);
        button->setToolTip(tip);
        const QString name = CommandTable::buttonName(*CommandTable::find(CommandTable::itemForPosition(pos)));
        button->setObjectName(name);
        m_actions.insert(name, button);
        connect(button, &QAction::triggered, this, [this, pos] { Toolbar2_ButtonClick(pos); });
    }
    WebBrowser1 = new WebBrowser(Picture2);
    WebBrowser1->setObjectName("WebBrowser1");
    // The page being edited is the preview's home.
    WebBrowser1->setHomePage(m_programFolder + "/zemlo.htm");
    row->addWidget(Picture2);

    mdiArea = new QMdiArea(central);
    mdiArea->setObjectName("mdiArea");
    mdiArea->setBackground(palette().brush(QPalette::Dark));
    mdiArea->viewport()->installEventFilter(this);
    // A document window's activation: only a change of the active window counts, not the
    // main window regaining the focus.
    connect(mdiArea, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow *sub) {
        if (!sub || sub == m_lastActive)
            return;
        m_lastActive = sub;
        if (auto *doc = qobject_cast<Form_Editer *>(sub->widget()))
            doc->Activate();
    });
    row->addWidget(mdiArea, 1);
    column->addLayout(row, 1);
    setCentralWidget(central);
}

QAction *MDI_Main::action(const QString &name) const { return m_actions.value(name); }

QAction *MDI_Main::action(Command item) const
{
    QAction *a = m_actions.value(item.toString());
    // Every name in Cmd is in the command table; a miss is a fault of the program.
    Q_ASSERT_X(a, "MDI_Main::action", item.name());
    if (!a)
        qCritical("Zemlo: no menu item named %s", item.name());
    return a;
}

QMenu *MDI_Main::menu(const QString &name) const { return m_menus.value(name); }

void MDI_Main::setHandler(Command item, std::function<void()> handler)
{
    action(item); // checks the name
    m_handlers.insert(item.toString(), std::move(handler));
}

void MDI_Main::runCommand(Command item)
{
    if (QAction *a = action(item))
        a->trigger();
}

void MDI_Main::runItem(const QString &item)
{
    if (QAction *a = action(item))
        a->trigger();
}

void MDI_Main::Toolbar1_ButtonClick(const QString &key)
{
    runItem(CommandTable::itemForButton(key));
}

void MDI_Main::Toolbar2_ButtonClick(int position)
{
    // Positions 3 and 6 are separators and run nothing.
    const QString item = CommandTable::itemForPosition(position);
    if (!item.isEmpty())
        runItem(item);
}

Form_Editer *MDI_Main::activeDocument() const
{
    QMdiSubWindow *sub = mdiArea->activeSubWindow();
    // While the main window itself lacks focus the area has no active window; the current
    // one is the one that was active last.
    if (!sub)
        sub = mdiArea->currentSubWindow();
    return sub ? qobject_cast<Form_Editer *>(sub->widget()) : nullptr;
}

void MDI_Main::addDocumentWindow(Form_Editer *doc)
{
    QMdiSubWindow *sub = mdiArea->addSubWindow(doc);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(doc->HtmlName());
    // A new window takes two thirds of the area, each one set off from the last, so that its
    // text is seen at once and the others stay within reach.
    const QSize area = mdiArea->viewport()->size();
    const int offset = 24 * (int(mdiArea->subWindowList().size() - 1) % 8);
    sub->setGeometry(offset, offset, qMax(320, area.width() * 2 / 3),
                     qMax(200, area.height() * 2 / 3));
    sub->show();
    mdiArea->setActiveSubWindow(sub);
}

QString MDI_Main::sizeText() const { return StatusBar1->panelText(2); }

QList<Form_Editer *> MDI_Main::documents() const
{
    return DocumentWindowsIn(*mdiArea);
}
