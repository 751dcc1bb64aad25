#pragma once

class MDI_Main;

// Gives the main window the tag library window and its command.
void InstallTagLibraryCommands(MDI_Main &main);
