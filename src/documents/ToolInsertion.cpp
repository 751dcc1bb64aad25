#include "documents/ToolInsertion.h"

#include "app/MDI_Main.h"
#include "app/MDI_Module.h"
#include "documents/Form_Editer.h"
#include "platform/RichTextBox.h"
#include "platform/StepRunner.h"

int InsertAtCaret(MDI_Main &main, Form_Editer &doc, const QString &text)
{
    StepRunner steps;
    MDI_Module::TrackEdits = false;
    int start = 0;
    steps.run([&] { doc.UndoBuff = doc.RichTextBox1->TextRTF(); });
    steps.run([&] {
        start = doc.RichTextBox1->SelStart();
        doc.RichTextBox1->setSelRTF(text);
        doc.RichTextBox1->setSelStart(start + int(text.size()));
    });
    steps.run([&] { doc.BuffBuff = doc.RichTextBox1->TextRTF(); });
    MDI_Module::TrackEdits = true;
    steps.run([&] {
        if (main.isChecked("m_vrpr"))
            main.RefreshPreview();
    });
    return start;
}
