#pragma once

class DocumentHost;
class QMainWindow;

// The site commands of the File menu and the site pane they work in, docked in window.
void InstallSiteCommands(DocumentHost &host, QMainWindow &window);
