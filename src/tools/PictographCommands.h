#pragma once

class Form_IME;
class DocumentHost;

// Gives the main window the pictograph picker command.
void InstallPictographCommands(DocumentHost &host);

// The picker while it is loaded (shown or hidden), or null.
Form_IME *LoadedPictographPicker(const DocumentHost &host);

// Shows the picker, loading it first when it is not loaded.
void OpenPictographPicker(DocumentHost &host);
