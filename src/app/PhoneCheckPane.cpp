#include "app/PhoneCheckPane.h"

#include "app/MDI_Main.h"
#include "app/Settings.h"
#include "documents/Form_Editer.h"
#include "widgets/RichTextBox.h"

#include <QActionGroup>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QSaveFile>
#include <QStyle>

namespace {

constexpr int PositionRole = Qt::UserRole;

QString readTarget(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // One short line; a damaged file is not read beyond its first kilobyte.
    return QString::fromUtf8(file.read(1024)).section(u'\n', 0, 0).trimmed();
}

} // namespace

PhoneCheckPane::PhoneCheckPane(MDI_Main &main)
    : QDockWidget(QStringLiteral("機種チェック"), &main), m_main(main)
{
    setObjectName("PhoneCheck");
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    m_list = new QListWidget(this);
    m_list->setObjectName("PhoneCheckList");
    m_list->setUniformItemSizes(true);
    m_list->installEventFilter(this);
    setWidget(m_list);
    connect(m_list, &QListWidget::itemActivated, this, &PhoneCheckPane::jumpTo);

    m_generation = PhoneCheck::Tables::program()
                       .target(readTarget(ProgramFiles::phoneTarget(main.programFolder())))
                       .generation;

    m_timer.setSingleShot(true);
    m_timer.setInterval(DelayMs);
    connect(&m_timer, &QTimer::timeout, this, &PhoneCheckPane::checkNow);
    connect(main.mdiArea, &QMdiArea::subWindowActivated, this,
            [this] { follow(m_main.activeDocument()); });
    // A hidden pane costs typing nothing: it checks when it is shown again.
    connect(this, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible && m_stale)
            m_timer.start(0);
    });
}

void PhoneCheckPane::buildTargetMenu(QMenu *menu, QAction *before)
{
    auto *targets = new QMenu(QStringLiteral("対象機種(&M)"), menu);
    targets->setObjectName("m_vtarget");
    targets->menuAction()->setObjectName("m_vtarget");
    m_targets = new QActionGroup(targets);
    QString version;
    const auto &all = PhoneCheck::Tables::program().targets;
    for (qsizetype i = 0; i < all.size(); ++i) {
        const PhoneCheck::Target &t = all[i];
        // The safe floor stands alone at the top; the rest are grouped by HTML version.
        if (i > 0 && t.version != version) {
            version = t.version;
            targets->addSection(QStringLiteral("iモード HTML %1").arg(t.version));
        }
        // Styles that draw sections as plain lines leave the version to the caption.
        QAction *item =
            targets->addAction(i == 0 ? QStringLiteral("%1（HTML %2、%3 KB）")
                                            .arg(t.label(), t.version)
                                            .arg(t.pageLimitKb)
                                      : QStringLiteral("%1（HTML %2）").arg(t.label(), t.version));
        item->setCheckable(true);
        item->setData(t.generation);
        item->setChecked(t.generation == m_generation);
        item->setToolTip(i == 0 ? QStringLiteral("iモード HTML 1.0、5 KB のページ（安全な下限）")
                                : t.generation);
        m_targets->addAction(item);
        connect(item, &QAction::triggered, this,
                [this, generation = t.generation] { chooseTarget(generation); });
    }
    targets->setToolTipsVisible(true);
    menu->insertMenu(before, targets);
}

const PhoneCheck::Target &PhoneCheckPane::target() const
{
    return PhoneCheck::Tables::program().target(m_generation);
}

void PhoneCheckPane::chooseTarget(const QString &generation)
{
    m_generation = PhoneCheck::Tables::program().target(generation).generation;
    if (m_targets)
        for (QAction *item : m_targets->actions())
            item->setChecked(item->data().toString() == m_generation);
    QSaveFile file(ProgramFiles::phoneTarget(m_main.programFolder()));
    if (!file.open(QIODevice::WriteOnly) || file.write(m_generation.toUtf8() + "\n") < 0 ||
        !file.commit())
        m_main.showStatus(QStringLiteral("対象機種を保存できませんでした: ") + file.errorString());
    changed();
}

void PhoneCheckPane::showAndFocus()
{
    show();
    raise();
    if (m_stale)
        checkNow();
    if (!m_list->currentItem() && m_list->count() > 0)
        m_list->setCurrentRow(0);
    m_list->setFocus();
}

void PhoneCheckPane::follow(Form_Editer *doc)
{
    if (doc == m_doc)
        return;
    disconnect(m_docChange);
    m_doc = doc;
    if (doc)
        m_docChange =
            connect(doc->RichTextBox1, &RichTextBox::Change, this, &PhoneCheckPane::changed);
    changed();
}

void PhoneCheckPane::changed()
{
    m_stale = true;
    if (isVisible())
        m_timer.start();
}

void PhoneCheckPane::checkNow()
{
    m_timer.stop();
    m_stale = false;
    m_list->clear();
    const PhoneCheck::Target &t = target();
    if (!m_doc) {
        setWindowTitle(QStringLiteral("機種チェック（%1）").arg(t.label()));
        return;
    }
    RichTextBox &box = *m_doc->RichTextBox1;
    const QString name = m_doc->HtmlName();
    const QString folder = name != Form_Editer::NewFileName && QDir::isAbsolutePath(name)
                               ? QFileInfo(name).absolutePath()
                               : QString();
    auto imageBytes = [&folder](const QString &src) -> qint64 {
        if (folder.isEmpty())
            return -1;
        const QString path = src.section(u'?', 0, 0).section(u'#', 0, 0);
        const QFileInfo info(QDir(folder).filePath(path));
        return info.isFile() ? info.size() : -1;
    };
    const QString text = box.Text();
    const auto findings = PhoneCheck::check(text, box.fileBytes().size(), t, imageBytes);
    const QIcon error = style()->standardIcon(QStyle::SP_MessageBoxCritical);
    const QIcon caution = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    for (qsizetype i = 0; i < findings.size() && i < MaxRows; ++i) {
        const auto &f = findings[i];
        const bool isError = f.level == PhoneCheck::Finding::Level::Error;
        auto *item = new QListWidgetItem(isError ? error : caution,
                                         QStringLiteral("%1 行: %2").arg(f.line).arg(f.message));
        item->setData(PositionRole, f.position);
        item->setToolTip(isError ? QStringLiteral("対象機種では表示されません")
                                 : QStringLiteral("注意: 確かな出典のない行によります"));
        m_list->addItem(item);
    }
    if (findings.size() > MaxRows)
        m_list->addItem(QStringLiteral("ほかに %1 件").arg(findings.size() - MaxRows));
    setWindowTitle(
        findings.isEmpty()
            ? QStringLiteral("機種チェック（%1）: 問題なし").arg(t.label())
            : QStringLiteral("機種チェック（%1）: %2 件").arg(t.label()).arg(findings.size()));
}

void PhoneCheckPane::jumpTo(QListWidgetItem *item)
{
    const QVariant position = item ? item->data(PositionRole) : QVariant();
    if (!m_doc || !position.isValid())
        return;
    RichTextBox &box = *m_doc->RichTextBox1;
    // The page may have changed since the check: the caret stays inside it.
    box.setSelStart(std::min(position.toInt(), int(box.Text().size())));
    if (auto *sub = qobject_cast<QMdiSubWindow *>(m_doc->parentWidget()))
        m_main.mdiArea->setActiveSubWindow(sub);
    box.setFocus();
    box.ensureCursorVisible();
}

bool PhoneCheckPane::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_list || event->type() != QEvent::KeyPress)
        return QDockWidget::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    // Escape hands the keyboard back to the page.
    if (key->key() == Qt::Key_Escape && m_doc) {
        m_doc->RichTextBox1->setFocus();
        return true;
    }
    // A copy takes the findings chosen as text, to be kept or passed on.
    if (key->matches(QKeySequence::Copy)) {
        QStringList lines;
        for (int row = 0; row < m_list->count(); ++row)
            if (m_list->item(row)->isSelected())
                lines << m_list->item(row)->text();
        if (!lines.isEmpty())
            QGuiApplication::clipboard()->setText(lines.join(u'\n'));
        return true;
    }
    return false;
}

PhoneCheckPane *InstallPhoneCheck(MDI_Main &main)
{
    auto *pane = new PhoneCheckPane(main);
    main.addDockWidget(Qt::BottomDockWidgetArea, pane);
    pane->hide();
    pane->buildTargetMenu(main.menu(QStringLiteral("m_view")), main.action(Cmd::m_vchk));
    main.setHandler(Cmd::m_vchk, [pane] { pane->showAndFocus(); });
    return pane;
}
