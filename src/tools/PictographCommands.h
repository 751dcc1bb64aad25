#pragma once

class Form_IME;
class MDI_Main;

// Gives the main window the pictograph picker command.
void InstallPictographCommands(MDI_Main &main);

// The picker while it is loaded (shown or hidden), or null.
Form_IME *LoadedPictographPicker(const MDI_Main &main);

// Shows the picker, loading it first when it is not loaded.
void OpenPictographPicker(MDI_Main &main);
