#include "documents/OpenDocument.h"

#include "documents/DocumentHost.h"
#include "documents/Form_Editer.h"
#include "platform/RichTextBox.h"
#include "platform/StepRunner.h"


Form_Editer *OpenDocument(DocumentHost &host, const QString &path)
{
    StepRunner steps;
    // 1. The window; its load sets EditerFr to 0.
    auto *doc = new Form_Editer(&host);
    // 2.-3. Caption and name.
    doc->setHtmlName(path);
    // 4. A file that cannot be read leaves the window empty.
    const bool read = steps.run([&] { doc->RichTextBox1->LoadFile(path); });
    // 5. Shown, it becomes active: the preview follows and the commands are enabled.
    steps.run([&] {
        host.addDocumentWindow(doc);
        doc->RichTextBox1->setFocus();
    });
    // 6. Colour its tags.
    steps.run([&] { host.runCommand(Cmd::m_vtag); });
    // 7.-8.
    steps.run([&] { doc->BuffBuff = doc->RichTextBox1->TextRTF(); });
    doc->EditerFr = Form_Editer::Unmodified;
    // Only a page really read counts as one of the recent pages.
    if (read && path != Form_Editer::NewFileName)
        host.pageUsed(path);
    return doc;
}
