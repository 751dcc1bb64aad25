#pragma once

class DocumentHost;

// Gives the main window the full-width to half-width conversion command.
void InstallTextConversion(DocumentHost &host);
