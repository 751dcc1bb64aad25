#include "site/SiteCommands.h"

#include "documents/DocumentHost.h"
#include "platform/Prompts.h"
#include "site/SitePane.h"

#include <QMainWindow>

namespace {

void OpenSiteCommand(DocumentHost &host, SitePane &pane)
{
    if (pane.busy()) {
        host.showStatus(QStringLiteral("サイトの処理中です。終わるか、キャンセルしてから選んでください。"));
        return;
    }
    FileDialogRequest request;
    request.kind = FileDialogKind::Folder;
    request.title = QStringLiteral("サイトを開く");
    request.initialFolder = pane.listing().root;
    if (const std::optional<QString> folder = host.prompts()->file(request))
        pane.openSite(*folder);
}

} // namespace

void InstallSiteCommands(DocumentHost &host, QMainWindow &window)
{
    auto *pane = new SitePane(host, &window);
    window.addDockWidget(Qt::RightDockWidgetArea, pane);
    pane->hide();
    host.setHandler(Cmd::m_msite, [&host, pane] { OpenSiteCommand(host, *pane); });
}
