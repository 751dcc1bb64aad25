#include "taglib/TagLibraryCommands.h"

#include "app/MDI_Main.h"
#include "taglib/Form_TAG.h"

#include <QPointer>
#include <memory>

namespace {

// Shows the library window, loading it first when it has never been loaded or was unloaded;
// a hidden window comes back as it was, without reading the file again or moving.
void ShowTagLibrary(MDI_Main &main, QPointer<Form_TAG> &form)
{
    if (!form || form->isUnloaded()) {
        form = new Form_TAG(main);
        form->Form_Load();
    }
    form->show();
    form->raise();
    form->activateWindow();
}

} // namespace

void InstallTagLibraryCommands(MDI_Main &main)
{
    auto form = std::make_shared<QPointer<Form_TAG>>();
    main.setHandler("m_etag", [&main, form] { ShowTagLibrary(main, *form); });
}
