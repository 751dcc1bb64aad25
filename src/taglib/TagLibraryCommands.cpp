#include "taglib/TagLibraryCommands.h"

#include "documents/ToolWindow.h"
#include "taglib/Form_TAG.h"

void InstallTagLibraryCommands(DocumentHost &host)
{
    host.setHandler(Cmd::m_etag, [&host] { ShowToolWindow(host, &Form_TAG::Form_Load); });
}

void CloseTagLibrary(DocumentHost &host)
{
    // Its close asks about unsaved edits of the library on the way.
    if (Form_TAG *form = LoadedToolWindow<Form_TAG>(host))
        form->close();
}
