#include "tools/PictographCommands.h"

#include "documents/DocumentHost.h"
#include "tools/Form_IME.h"

void InstallPictographCommands(DocumentHost &host)
{
    host.setHandler(Cmd::m_eime, [&host] { OpenPictographPicker(host); });
}

Form_IME *LoadedPictographPicker(const DocumentHost &host)
{
    // One closed by its title bar may still wait for its deletion: it counts as unloaded.
    const QList<Form_IME *> pickers =
        host.dialogParent()->findChildren<Form_IME *>(QString(), Qt::FindDirectChildrenOnly);
    for (Form_IME *picker : pickers)
        if (!picker->unloaded())
            return picker;
    return nullptr;
}

void OpenPictographPicker(DocumentHost &host)
{
    Form_IME *picker = LoadedPictographPicker(host);
    if (!picker) {
        picker = new Form_IME(host);
        picker->Load();
    }
    // A hidden picker comes back with its list, place and size as they were.
    picker->show();
    picker->raise();
    picker->activateWindow();
}
