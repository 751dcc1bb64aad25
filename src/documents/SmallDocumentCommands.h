#pragma once

class MDI_Main;

// New: an empty document window named "新しいファイル".
void NewCommand(MDI_Main &main);
// Close: the active document window, through its close question.
void CloseCommand(MDI_Main &main);
// Undo: the active document's undo image, the caret kept where it can be.
void UndoCommand(MDI_Main &main);
// File information on the active document's file as last saved.
void ShowFileInformation(MDI_Main &main);
