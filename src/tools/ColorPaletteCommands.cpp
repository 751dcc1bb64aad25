#include "tools/ColorPaletteCommands.h"

#include "app/MDI_Main.h"
#include "documents/ToolInsertion.h"
#include "platform/StepRunner.h"
#include "tools/Form_ColPal.h"

namespace {
void m_ecol_Click(MDI_Main &main)
{
    StepRunner steps;
    auto *palette = new Form_ColPal(&main);
    steps.run([&] { palette->exec(); });
    steps.run([&] {
        // With no document the choice is discarded.
        Form_Editer *doc = main.activeDocument();
        if (!palette->GetCol.isEmpty() && doc)
            InsertAtCaret(main, *doc, palette->GetCol);
    });
    delete palette;
}
} // namespace

void InstallColorPaletteCommands(MDI_Main &main)
{
    main.setHandler("m_ecol", [&main] { m_ecol_Click(main); });
}
