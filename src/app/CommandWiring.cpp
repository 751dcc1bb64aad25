#include "app/CommandWiring.h"

#include "app/MDI_Main.h"
#include "documents/DocumentCommands.h"
#include "site/SiteCommands.h"
#include "taglib/TagLibraryCommands.h"
#include "tools/ColorPaletteCommands.h"
#include "tools/FindCommands.h"
#include "tools/PictographCommands.h"
#include "tools/TagColoring.h"
#include "tools/TextConversion.h"

void InstallAllCommands(MDI_Main &main)
{
    InstallDocumentCommands(main);
    InstallTagColoring(main);
    InstallTextConversion(main);
    InstallTagLibraryCommands(main);
    InstallPictographCommands(main);
    InstallColorPaletteCommands(main);
    InstallFindCommands(main);
    InstallSiteCommands(main, main);
}
