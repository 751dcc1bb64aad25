#pragma once

class MDI_Main;

// Gives the main window the full-width to half-width conversion command.
void InstallTextConversion(MDI_Main &main);
