#pragma once

#include <QString>

class Form_Editer;
class MDI_Main;

// Before a page is written: when its text holds characters that Shift-JIS cannot hold, asks
// whether to put decimal character references in their place (one undoable step) and go on.
// False when the user declined; the page is then left as it was.
bool OfferCharacterReferences(MDI_Main &main, Form_Editer &doc);

// Writes the page to path as Shift-JIS after OfferCharacterReferences. False when the user
// declined and nothing was written; throws ZError when the write fails, the file on disk
// then being the one that was there before.
bool WritePage(MDI_Main &main, Form_Editer &doc, const QString &path);
