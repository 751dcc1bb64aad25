#pragma once

class MDI_Main;

// Hands every subsystem's commands to the main window.
void InstallAllCommands(MDI_Main &main);
