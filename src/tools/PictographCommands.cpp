#include "tools/PictographCommands.h"

#include "app/MDI_Main.h"
#include "tools/Form_IME.h"

void InstallPictographCommands(MDI_Main &main)
{
    main.setHandler("m_eime", [&main] { OpenPictographPicker(main); });
}

Form_IME *LoadedPictographPicker(const MDI_Main &main)
{
    // One closed by its title bar may still wait for its deletion: it counts as unloaded.
    const QList<Form_IME *> pickers =
        main.findChildren<Form_IME *>(QString(), Qt::FindDirectChildrenOnly);
    for (Form_IME *picker : pickers)
        if (!picker->unloaded())
            return picker;
    return nullptr;
}

void OpenPictographPicker(MDI_Main &main)
{
    Form_IME *picker = LoadedPictographPicker(main);
    if (!picker) {
        picker = new Form_IME(&main);
        picker->Load();
    }
    // A hidden picker comes back with its list, place and size as they were.
    picker->show();
    picker->raise();
    picker->activateWindow();
}
