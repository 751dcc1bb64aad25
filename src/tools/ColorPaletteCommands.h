#pragma once

class DocumentHost;

// Gives the main window the colour palette command.
void InstallColorPaletteCommands(DocumentHost &host);
