#pragma once

class DocumentHost;

// The question at the start when journals of unsaved work are found: 復元 opens each page in a
// document window with its journal's text, marked modified (the page on disk is not touched
// until the user agrees, at its first save, to write that very file); 破棄 deletes the journals
// after a second confirmation; キャンセル keeps them for the next start. Journals that cannot
// be read, or that are not this user's own, are reported by name with the reason and kept.
// New files of saves that a crash cut short are cleared first, in the program's folder and
// the journal's.
void OfferRecovery(DocumentHost &host);
