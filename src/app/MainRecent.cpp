// The recent pages of the File menu, and the status notices of the first panel.
#include "app/MDI_Main.h"

#include "app/RecentPages.h"
#include "app/Settings.h"
#include "app/StatusPanels.h"
#include "documents/OpenDocument.h"
#include "platform/Prompts.h"
#include "platform/StepRunner.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMenu>
#include <functional>
#include <utility>

namespace {
// Watches the whole program for the user's next key, click or shortcut, tells once, and goes.
class NextUserInput : public QObject
{
public:
    NextUserInput(QObject *parent, std::function<void()> then)
        : QObject(parent), m_then(std::move(then))
    {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::ShortcutOverride:
        case QEvent::InputMethod:
        case QEvent::MouseButtonPress:
            if (m_then) {
                QCoreApplication::instance()->removeEventFilter(this);
                deleteLater();
                std::exchange(m_then, nullptr)();
            }
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_then;
};
} // namespace

void MDI_Main::showStatus(const QString &text)
{
    StatusBar1->setPanelText(1, text);
    // Held until the next action, so that the preview reloading after the change the notice
    // reports (完了) does not take it away before it can be read.
    delete m_noticeWatch;
    m_noticeHeld = !text.isEmpty();
    if (m_noticeHeld)
        m_noticeWatch = new NextUserInput(this, [this] { m_noticeHeld = false; });
}

void MDI_Main::showBrowserStatus(const QString &text)
{
    if (!text.isEmpty() && !m_noticeHeld)
        StatusBar1->setPanelText(1, text);
}

void MDI_Main::buildRecentMenu()
{
    m_recentMenu = new QMenu(QStringLiteral("最近使ったファイル"), m_menus.value("m_menu"));
    m_recentMenu->setObjectName("m_mmru");
    m_recentMenu->menuAction()->setObjectName("m_mmru");
    m_menus.value("m_menu")->insertMenu(m_actions.value("lm2"), m_recentMenu);
    // The items stay and only change their page: choosing one may renew the list while the
    // item is still being triggered.
    for (int i = 1; i <= RecentPages::Max; ++i) {
        QAction *item = m_recentMenu->addAction(QString());
        item->setObjectName(QStringLiteral("m_mmru%1").arg(i));
        connect(item, &QAction::triggered, this,
                [this, item] { openRecentPage(item->data().toString()); });
    }
    setRecentPages(RecentPages::load(ProgramFiles::recentPages(m_programFolder)));
}

void MDI_Main::setRecentPages(const QStringList &pages)
{
    m_recentPages = pages.mid(0, RecentPages::Max);
    const QList<QAction *> items = m_recentMenu->actions();
    for (int i = 0; i < items.size(); ++i) {
        QAction *item = items.at(i);
        const bool used = i < m_recentPages.size();
        const QString path = used ? m_recentPages.at(i) : QString();
        item->setData(path);
        item->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(QString(path).replace('&', "&&")));
        item->setVisible(used);
    }
    m_recentMenu->menuAction()->setEnabled(!m_recentPages.isEmpty());
}

void MDI_Main::pageUsed(const QString &path)
{
    setRecentPages(RecentPages::withFront(m_recentPages, path));
    RecentPages::save(ProgramFiles::recentPages(m_programFolder), m_recentPages);
}

void MDI_Main::openRecentPage(const QString &path)
{
    if (!QFileInfo(path).isFile()) {
        m_prompts->message(path + QStringLiteral("\r\n\r\nファイルが見つかりません。最近使ったファイルの一覧から削除します。"),
                           Prompt::Buttons::Ok, Prompt::Icon::Exclamation,
                           QStringLiteral("最近使ったファイル"));
        QStringList pages = m_recentPages;
        pages.removeAll(path);
        setRecentPages(pages);
        RecentPages::save(ProgramFiles::recentPages(m_programFolder), m_recentPages);
        return;
    }
    StepRunner().run([&] { OpenDocument(*this, path); });
    restorePointer();
}
