#include "taglib/TagLibraryCommands.h"

#include "documents/DocumentHost.h"
#include "taglib/Form_TAG.h"

#include <QPointer>
#include <memory>

namespace {

// Shows the library window, loading it first when it has never been loaded or was unloaded;
// a hidden window comes back as it was, without reading the file again or moving.
void ShowTagLibrary(DocumentHost &host, QPointer<Form_TAG> &form)
{
    if (!form || form->isUnloaded()) {
        form = new Form_TAG(host);
        form->Form_Load();
    }
    form->show();
    form->raise();
    form->activateWindow();
}

} // namespace

void InstallTagLibraryCommands(DocumentHost &host)
{
    auto form = std::make_shared<QPointer<Form_TAG>>();
    host.setHandler(Cmd::m_etag, [&host, form] { ShowTagLibrary(host, *form); });
}

void CloseTagLibrary(DocumentHost &host)
{
    // Its close asks about unsaved edits of the library on the way.
    const QList<Form_TAG *> forms =
        host.dialogParent()->findChildren<Form_TAG *>(QString(), Qt::FindDirectChildrenOnly);
    for (Form_TAG *form : forms)
        if (!form->isUnloaded())
            form->close();
}
