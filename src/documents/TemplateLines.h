#pragma once

#include <QString>
#include <QStringList>

// The lines of a template as its reader sees them: a line ends at CR or at CR LF, the line
// end is not part of the line, and a last line without a line end is a line too.
QStringList TemplateLines(const QString &text);
