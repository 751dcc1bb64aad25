#pragma once

#include <QStringList>

class DocumentHost;

// Gives the host the handlers of the document commands.
void InstallDocumentCommands(DocumentHost &host);

// The close question of every document window; the first refusal keeps all of them open,
// and once all agree, closing them asks nothing again. False when one refused.
bool QueryCloseDocuments(DocumentHost &host);

// Closes every document window, asking each modified one its close question again and again
// until it closes: the command ends only when no document window is left.
void CloseAllDocuments(DocumentHost &host);
