#include "documents/DocumentCommands.h"

#include "app/MDI_Main.h"
#include "documents/Form_Editer.h"
#include "documents/OpenDocument.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace {
// Asks every document window its close question; the first refusal keeps all of them open.
bool QueryCloseAll(MDI_Main &main)
{
    const QList<Form_Editer *> docs = main.documents();
    for (Form_Editer *doc : docs)
        if (!doc->QueryUnload())
            return false;
    // Answered once: closing them now asks nothing again.
    for (Form_Editer *doc : docs)
        doc->setCloseAgreed(true);
    return true;
}

void CloseAll(MDI_Main &main)
{
    // A window whose close query refuses stays active and is asked again.
    while (Form_Editer *doc = main.activeDocument()) {
        QMdiSubWindow *sub = main.mdiArea->activeSubWindow() ? main.mdiArea->activeSubWindow()
                                                             : main.mdiArea->currentSubWindow();
        if (!sub)
            break;
        sub->close();
        Q_UNUSED(doc);
    }
}
} // namespace

void InstallDocumentCommands(MDI_Main &main)
{
    main.OpenDocument = [&main](const QString &path) { OpenDocument(main, path); };
    main.QueryCloseDocuments = [&main] { return QueryCloseAll(main); };
    main.CloseAllDocuments = [&main] { CloseAll(main); };
    main.setHandler("m_wclose", [&main] { CloseAll(main); });
}
