#include "documents/DocumentCommands.h"

#include "documents/DocumentHost.h"
#include "documents/ExportUtf8.h"
#include "documents/Form_Editer.h"
#include "documents/OpenCommands.h"
#include "documents/SaveCommands.h"
#include "documents/SmallDocumentCommands.h"

#include <QMdiSubWindow>

bool QueryCloseDocuments(DocumentHost &host)
{
    const QList<Form_Editer *> docs = host.documents();
    for (Form_Editer *doc : docs)
        if (!doc->QueryUnload())
            return false;
    for (Form_Editer *doc : docs)
        doc->setCloseAgreed(true);
    return true;
}

void CloseAllDocuments(DocumentHost &host)
{
    while (!host.documents().isEmpty()) {
        // A window whose close question refuses stays the active one and is asked again.
        Form_Editer *doc = host.activeDocument();
        if (!doc)
            doc = host.documents().constFirst();
        if (auto *sub = qobject_cast<QMdiSubWindow *>(doc->parentWidget()))
            sub->close();
    }
}

void InstallDocumentCommands(DocumentHost &host)
{
    host.setHandler(Cmd::m_mnew, [&host] { NewCommand(host); });
    host.setHandler(Cmd::m_mtemp, [&host] { OpenTemplateCommand(host); });
    host.setHandler(Cmd::m_mopen, [&host] { OpenCommand(host); });
    host.setHandler(Cmd::m_mclos, [&host] { CloseCommand(host); });
    host.setHandler(Cmd::m_msave, [&host] { SaveCommand(host); });
    host.setHandler(Cmd::m_msaas, [&host] { SaveAsCommand(host); });
    host.setHandler(Cmd::m_mutf8, [&host] { ExportUtf8Command(host); });
    host.setHandler(Cmd::m_minf, [&host] { ShowFileInformation(host); });
    host.setHandler(Cmd::m_mrel, [&host] { ReloadCommand(host); });
    host.setHandler(Cmd::m_eund, [&host] { UndoCommand(host); });
    host.setHandler(Cmd::m_wclose, [&host] { CloseAllDocuments(host); });
}
