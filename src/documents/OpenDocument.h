#pragma once

#include <QString>

class Form_Editer;
class DocumentHost;

// Creates a document window for path, loads it, shows it and colours it. The only way a
// document window is made; it never reports a failure.
Form_Editer *OpenDocument(DocumentHost &host, const QString &path);
