#pragma once

class DocumentHost;

// The UTF-8 export command: asks for a name in the shared file dialog and writes a copy of the
// active page for today's browsers (Utf8Export), with the pictures it needs in a folder beside
// it, then says what it did. The document, its name, its edit state and its undo stay as they
// were.
void ExportUtf8Command(DocumentHost &host);
