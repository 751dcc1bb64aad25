#include "tools/ColorPaletteCommands.h"

#include "documents/DocumentHost.h"
#include "documents/ToolInsertion.h"
#include "platform/StepRunner.h"
#include "tools/Form_ColPal.h"

namespace {
void m_ecol_Click(DocumentHost &host)
{
    StepRunner steps;
    auto *palette = new Form_ColPal(host.dialogParent());
    steps.run([&] { palette->exec(); });
    steps.run([&] {
        // With no document the choice is discarded.
        Form_Editer *doc = host.activeDocument();
        if (!palette->GetCol.isEmpty() && doc)
            InsertAtCaret(host, *doc, palette->GetCol);
    });
    delete palette;
}
} // namespace

void InstallColorPaletteCommands(DocumentHost &host)
{
    host.setHandler(Cmd::m_ecol, [&host] { m_ecol_Click(host); });
}
