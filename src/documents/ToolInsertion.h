#pragma once

#include <QString>

class Form_Editer;
class MDI_Main;

// Inserts text at the caret of a document window as one undoable step: the undo image is
// taken before, the after-image once the caret stands behind the inserted text, and the
// preview follows when real-time preview is on. Returns the position where the text begins.
int InsertAtCaret(MDI_Main &main, Form_Editer &doc, const QString &text);
