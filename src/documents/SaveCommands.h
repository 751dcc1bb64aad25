#pragma once

#include <QString>

class Form_Editer;
class MDI_Main;

// Warns when the size panel shows more than 5 KB; false when the user stops the save.
bool SizeCheck(MDI_Main &main, const Form_Editer &doc);

// The Save command: size check, confirmation, then the write (Save As for a new page).
void SaveCommand(MDI_Main &main);
// The Save As command: the shared dialog, then SaveDocumentAs.
void SaveAsCommand(MDI_Main &main);
// Writes the active document to path and gives it that name.
void SaveDocumentAs(MDI_Main &main, const QString &path);
