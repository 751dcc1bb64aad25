#pragma once

#include <QString>

class Form_Editer;
class DocumentHost;

// The Save As dialog's filter, which the other dialogs that write a page share.
extern const QString SaveFilter;

// Warns when the size panel shows more than 5 KB; false when the user stops the save.
bool SizeCheck(DocumentHost &host, const Form_Editer &doc);

// The Save command: size check, confirmation, then the write (Save As for a new page).
void SaveCommand(DocumentHost &host);
// The Save As command: the shared dialog, then SaveDocumentAs.
void SaveAsCommand(DocumentHost &host);
// Writes the active document to path and gives it that name.
void SaveDocumentAs(DocumentHost &host, const QString &path);
