#pragma once

class DocumentHost;

// The question at the start when journals of unsaved work are found: 復元 opens each page in a
// document window with its journal's text, marked modified (the page on disk is not touched);
// 破棄 deletes the journals after a second confirmation; キャンセル keeps them for the next
// start. Journals that cannot be read are reported by name and kept.
void OfferRecovery(DocumentHost &host);
