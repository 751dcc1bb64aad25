#pragma once

class DocumentHost;

// Gives the main window the tag library window and its command.
void InstallTagLibraryCommands(DocumentHost &host);

// Closes the library window when it is loaded, as the program ends.
void CloseTagLibrary(DocumentHost &host);
