#pragma once

#include <QString>
#include <QStringList>

class DocumentHost;

// The Open command: the shared dialog, then OpenDocument.
void OpenCommand(DocumentHost &host);
// The Open template command: the shared dialog in the program's folder, then OpenTemplate.
void OpenTemplateCommand(DocumentHost &host);
// Files dropped onto the main window, each as a document window, in list order.
void OpenDroppedFiles(DocumentHost &host, const QStringList &paths);
// The Reload command: reads the active document's file again after a question.
void ReloadCommand(DocumentHost &host);
