#pragma once

class DocumentHost;

// Find, find next and previous, replace, and go to line, for the active document.
void InstallFindCommands(DocumentHost &host);
