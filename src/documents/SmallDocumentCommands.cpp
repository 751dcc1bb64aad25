#include "documents/SmallDocumentCommands.h"

#include "documents/DocumentHost.h"
#include "documents/Form_Editer.h"
#include "documents/OpenDocument.h"
#include "fsservice/ClsFSO.h"
#include "widgets/RichTextBox.h"
#include "platform/StepRunner.h"

#include <QMdiSubWindow>

void NewCommand(DocumentHost &host)
{
    OpenDocument(host, Form_Editer::NewFileName);
}

void CloseCommand(DocumentHost &host)
{
    StepRunner().run([&] {
        if (Form_Editer *doc = host.activeDocument())
            if (auto *sub = qobject_cast<QMdiSubWindow *>(doc->parentWidget()))
                sub->close();
    });
    host.restorePointer();
}

void UndoCommand(DocumentHost &host)
{
    Form_Editer *doc = host.activeDocument();
    if (!doc)
        return;
    StepRunner steps;
    // A copy: the change handler renews the undo image while it is being restored.
    const RichImage image = doc->UndoBuff;
    int p = 0;
    steps.run([&] { p = doc->RichTextBox1->SelStart(); });
    steps.run([&] { doc->RichTextBox1->setTextRTF(image); });
    // Past the end of a shorter text the caret goes to the end.
    steps.run([&] { doc->RichTextBox1->setSelStart(p); });
}

void ShowFileInformation(DocumentHost &host)
{
    Form_Editer *doc = host.activeDocument();
    if (!doc)
        return;
    StepRunner().run([&] {
        ClsFSO fso(host.prompts());
        fso.ShowDialog = true;
        fso.InfoFile(doc->HtmlName());
    });
}
