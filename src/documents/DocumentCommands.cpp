#include "documents/DocumentCommands.h"

#include "app/MDI_Main.h"
#include "app/WindowArrangement.h"
#include "documents/Form_Editer.h"
#include "documents/OpenCommands.h"
#include "documents/OpenDocument.h"
#include "documents/SaveCommands.h"
#include "documents/SmallDocumentCommands.h"

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
} // namespace

void InstallDocumentCommands(MDI_Main &main)
{
    main.OpenDocument = [&main](const QString &path) { OpenDocument(main, path); };
    main.FilesDropped = [&main](const QStringList &paths) { OpenDroppedFiles(main, paths); };
    main.QueryCloseDocuments = [&main] { return QueryCloseAll(main); };
    main.CloseAllDocuments = [&main] { ::CloseAllDocuments(main); };

    main.setHandler("m_mnew", [&main] { NewCommand(main); });
    main.setHandler("m_mtemp", [&main] { OpenTemplateCommand(main); });
    main.setHandler("m_mopen", [&main] { OpenCommand(main); });
    main.setHandler("m_mclos", [&main] { CloseCommand(main); });
    main.setHandler("m_msave", [&main] { SaveCommand(main); });
    main.setHandler("m_msaas", [&main] { SaveAsCommand(main); });
    main.setHandler("m_minf", [&main] { ShowFileInformation(main); });
    main.setHandler("m_mrel", [&main] { ReloadCommand(main); });
    main.setHandler("m_eund", [&main] { UndoCommand(main); });

    main.setHandler("m_wt", [&main] { ArrangeTileHorizontal(main); });
    main.setHandler("m_wy", [&main] { ArrangeTileVertical(main); });
    main.setHandler("m_wc", [&main] { ArrangeCascade(main); });
    main.setHandler("m_wclose", [&main] { ::CloseAllDocuments(main); });
}
