#include "documents/OpenDocument.h"

#include "documents/DocumentHost.h"
#include "documents/Form_Editer.h"
#include "platform/ErrorBoxes.h"
#include "platform/FileReplace.h"
#include "widgets/RichTextBox.h"
#include "platform/StepRunner.h"

#include <QFileInfo>

namespace {

// Nothing at the path is not a failure: that is how a new page with a name is made.
bool refuses(const ZErrorInfo &failure) { return !IsMissingFileNumber(failure.number); }

} // namespace

Form_Editer *OpenDocument(DocumentHost &host, const QString &path)
{
    // A name the system gave as bytes that are not text in the locale's encoding arrives with
    // replacement characters in their place: no file has that name, and an empty window of
    // that name would be saved as a second file beside the page meant.
    if (path.contains(QChar::ReplacementCharacter) && !QFileInfo::exists(path)) {
        ShowReadError(*host.prompts(),
                      {ZErr::FileNotFound,
                       QStringLiteral("ファイル名に、この環境の文字コードで読めないバイトが"
                                      "含まれているため、開けません。")},
                      path);
        return nullptr;
    }
    // A page that is there but cannot be read, or that is no file at all, opens no window: an
    // empty window saved over it would destroy it. The check opens without waiting, so that a
    // FIFO or a device is refused before a byte is read.
    StepRunner check;
    check.run([&] { OpenRegularFile(path); });
    if (check.failed() && refuses(*check.lastError())) {
        ShowReadError(*host.prompts(), *check.lastError(), path);
        return nullptr;
    }
    StepRunner steps;
    // 1. The window; its load sets EditerFr to 0.
    auto *doc = new Form_Editer(&host);
    // 2.-3. Caption and name.
    doc->setHtmlName(path);
    // 4. A file that is not there leaves the window empty.
    const bool read = steps.run([&] { doc->RichTextBox1->LoadFile(path); });
    if (!read && refuses(*steps.lastError())) {
        // Failed between the check and the read (an I/O error): no window after all.
        ShowReadError(*host.prompts(), *steps.lastError(), path);
        delete doc;
        if (Form_Editer *active = host.activeDocument())
            host.documentActivated(*active);
        return nullptr;
    }
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
