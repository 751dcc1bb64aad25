#pragma once

#include <QString>

class DocumentHost;

// A new document filled from a template file, line by line, every line ending in CR LF; it
// counts as modified only from the second change after. A file that cannot be read is
// reported in the "Zuvo: " box, the new window keeping the lines read so far.
void OpenTemplate(DocumentHost &host, const QString &path);
