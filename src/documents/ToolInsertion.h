#pragma once

#include <QString>
#include <functional>

class DocumentHost;
class Form_Editer;

// Changes a document as one undoable step: with edit tracking paused, the undo image is taken
// before the change and the after-image once it is made; then the preview follows when
// real-time preview is on. A failing step is skipped and the next one runs.
void ToolEdit(DocumentHost &host, Form_Editer &doc, const std::function<void()> &change);

// Inserts text at the caret (replacing the selection) as one such step, the caret after it,
// the inserted text coloured when a colour is given. Returns where the text begins.
int InsertAtCaret(DocumentHost &host, Form_Editer &doc, const QString &text);
int InsertAtCaret(DocumentHost &host, Form_Editer &doc, const QString &text, quint32 color);
