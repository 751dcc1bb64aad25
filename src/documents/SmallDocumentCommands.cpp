#include "documents/SmallDocumentCommands.h"

#include "app/MDI_Main.h"
#include "documents/Form_Editer.h"
#include "documents/OpenDocument.h"
#include "fsservice/ClsFSO.h"
#include "platform/RichTextBox.h"
#include "platform/StepRunner.h"

#include <QMdiSubWindow>

void NewCommand(MDI_Main &main)
{
    OpenDocument(main, Form_Editer::NewFileName);
}

void CloseCommand(MDI_Main &main)
{
    StepRunner().run([&] {
        if (Form_Editer *doc = main.activeDocument())
            if (auto *sub = qobject_cast<QMdiSubWindow *>(doc->parentWidget()))
                sub->close();
    });
    main.restorePointer();
}

void UndoCommand(MDI_Main &main)
{
    Form_Editer *doc = main.activeDocument();
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

void ShowFileInformation(MDI_Main &main)
{
    Form_Editer *doc = main.activeDocument();
    if (!doc)
        return;
    StepRunner().run([&] {
        ClsFSO fso(main.prompts());
        fso.ShowDialog = true;
        fso.InfoFile(doc->HtmlName());
    });
}
