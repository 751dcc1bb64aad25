#pragma once

class DocumentHost;

// New: an empty document window named "新しいファイル".
void NewCommand(DocumentHost &host);
// Close: the active document window, through its close question.
void CloseCommand(DocumentHost &host);
// Undo: the active document's undo image, the caret kept where it can be.
void UndoCommand(DocumentHost &host);
// File information on the active document's file as last saved.
void ShowFileInformation(DocumentHost &host);
