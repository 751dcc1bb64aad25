#pragma once

class MDI_Main;

// Gives the main window its document routines and the handlers of the document commands.
void InstallDocumentCommands(MDI_Main &main);
