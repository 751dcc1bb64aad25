#include "tools/PictographCommands.h"

#include "documents/ToolWindow.h"
#include "tools/Form_IME.h"

void InstallPictographCommands(DocumentHost &host)
{
    host.setHandler(Cmd::m_eime, [&host] { OpenPictographPicker(host); });
}

Form_IME *LoadedPictographPicker(const DocumentHost &host)
{
    return LoadedToolWindow<Form_IME>(host);
}

void OpenPictographPicker(DocumentHost &host)
{
    ShowToolWindow(host, &Form_IME::Load);
}
