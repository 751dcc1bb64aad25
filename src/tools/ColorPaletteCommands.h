#pragma once

class MDI_Main;

// Gives the main window the colour palette command.
void InstallColorPaletteCommands(MDI_Main &main);
