#pragma once

#include <QString>

class Form_Editer;
class DocumentHost;

// Before a page is written: when its text holds characters that cannot be written as they
// stand (characters Shift-JIS cannot hold, characters standing for a lone byte that was not
// read there from the file, and characters that would pair with a kept lone lead byte before
// them and so read back as another character), names them and asks whether to put decimal
// character references in their place (one undoable step) and go on. A reference starts with
// "&", which never pairs with a lead byte, so the kept lone byte is written as it was read.
// False when the user declined; the page is then left as it was.
bool OfferCharacterReferences(DocumentHost &host, Form_Editer &doc);

// Writes the page to path as Shift-JIS after OfferCharacterReferences. False when the user
// declined and nothing was written; throws ZError when the write fails, the file on disk
// then being the one that was there before.
bool WritePage(DocumentHost &host, Form_Editer &doc, const QString &path);
