#pragma once

class MDI_Main;

// Gives the main window tag colouring: the switch and the full pass.
void InstallTagColoring(MDI_Main &main);

// The full colouring pass over the active document (the command of m_vtag).
void ColorAllTags(MDI_Main &main);

// Colours the tag whose "<" the caret stands on, TagScanPos holding its 1-based position;
// false when no ">" follows.
bool ColorOneTag(MDI_Main &main);
