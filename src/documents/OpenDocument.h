#pragma once

#include <QString>

class Form_Editer;
class DocumentHost;

// Creates a document window for path, loads it, shows it and colours it. The only way a
// document window is made. Nothing at path gives an empty window of that name; a path that
// is there but cannot be read, or is no file (a folder, FIFO, device or socket), is reported
// in the "Zuvo:" box naming it and gives no window: null is returned. So is a missing path
// holding replacement characters, the form a name that is not text in the locale's encoding
// takes.
Form_Editer *OpenDocument(DocumentHost &host, const QString &path);
