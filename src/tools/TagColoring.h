#pragma once

class DocumentHost;

// Gives the main window tag colouring: the switch and the full pass.
void InstallTagColoring(DocumentHost &host);

// The full colouring pass over the active document (the command of m_vtag).
void ColorAllTags(DocumentHost &host);

// Where the colouring scan goes on: a 1-based position in the active document's text,
// meaningful only during a pass.
extern int TagScanPos;

// Colours the tag whose "<" the caret stands on, TagScanPos holding its 1-based position;
// false when no ">" follows.
bool ColorOneTag(DocumentHost &host);
