#pragma once

class MDI_Main;

// The Window menu's arrangements, over the document windows only; with none they do nothing.
// One above the other, each as wide as the client area (arrangement code 1).
void ArrangeTileHorizontal(MDI_Main &main);
// Side by side, each as high as the client area (code 2).
void ArrangeTileVertical(MDI_Main &main);
// Overlapping, each offset from the one before (code 0).
void ArrangeCascade(MDI_Main &main);
