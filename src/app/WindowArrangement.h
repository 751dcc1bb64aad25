#pragma once

class MDI_Main;

// The Window menu's arrangements, over the document windows only; with none they do nothing.
// One above the other, each as wide as the client area (arrangement code 1).
void ArrangeTileHorizontal(MDI_Main &main);
// Side by side, each as high as the client area (code 2).
void ArrangeTileVertical(MDI_Main &main);
// Overlapping, each offset from the one before (code 0).
void ArrangeCascade(MDI_Main &main);

// Closes every document window, asking each modified one its close question again and again
// until it closes: the command ends only when no document window is left.
void CloseAllDocuments(MDI_Main &main);
