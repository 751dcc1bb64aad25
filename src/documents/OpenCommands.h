#pragma once

#include <QString>
#include <QStringList>

class MDI_Main;

// The Open command: the shared dialog, then OpenDocument.
void OpenCommand(MDI_Main &main);
// The Open template command: the shared dialog in the program's folder, then OpenTemplate.
void OpenTemplateCommand(MDI_Main &main);
// Files dropped onto the main window, each as a document window, in list order.
void OpenDroppedFiles(MDI_Main &main, const QStringList &paths);
// The Reload command: reads the active document's file again after a question.
void ReloadCommand(MDI_Main &main);
