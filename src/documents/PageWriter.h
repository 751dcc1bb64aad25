#pragma once

#include <QString>

class Form_Editer;
class DocumentHost;

// Before a page is written: when its text holds characters that Shift-JIS cannot hold, asks
// whether to put decimal character references in their place (one undoable step) and go on.
// False when the user declined; the page is then left as it was.
bool OfferCharacterReferences(DocumentHost &host, Form_Editer &doc);

// Writes the page to path as Shift-JIS after OfferCharacterReferences. False when the user
// declined and nothing was written; throws ZError when the write fails, the file on disk
// then being the one that was there before.
bool WritePage(DocumentHost &host, Form_Editer &doc, const QString &path);
