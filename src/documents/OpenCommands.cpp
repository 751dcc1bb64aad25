#include "documents/OpenCommands.h"

#include "app/MDI_Main.h"
#include "documents/Form_Editer.h"
#include "documents/OpenDocument.h"
#include "documents/OpenTemplate.h"
#include "platform/Prompts.h"
#include "platform/RichTextBox.h"
#include "platform/StepRunner.h"

void OpenCommand(MDI_Main &main)
{
    // No initial name or folder: the dialog starts where its last use left it.
    StepRunner().run([&] {
        main.CommonDialog1.Filter =
            QStringLiteral("HTML,HTM|*.html;*.htm|JSP,ASP|*.jsp;*.asp|LBI|*.lbi|*.*|*.*");
        main.CommonDialog1.Flags = CommonDialog::OverwritePrompt;
        main.CommonDialog1.ShowOpen();
        OpenDocument(main, main.CommonDialog1.FileName);
    });
    main.restorePointer();
}

void OpenTemplateCommand(MDI_Main &main)
{
    StepRunner().run([&] {
        main.CommonDialog1.Filter = QStringLiteral("TMP|*.tmp|*.*|*.*");
        main.CommonDialog1.Flags = CommonDialog::OverwritePrompt;
        main.CommonDialog1.InitDir = main.programFolder();
        main.CommonDialog1.ShowOpen();
        OpenTemplate(main, main.CommonDialog1.FileName);
    });
}

void OpenDroppedFiles(MDI_Main &main, const QStringList &paths)
{
    for (const QString &path : paths)
        StepRunner().run([&] { OpenDocument(main, path); });
}

void ReloadCommand(MDI_Main &main)
{
    Form_Editer *doc = main.activeDocument();
    if (!doc)
        return;
    if (main.prompts()->message(doc->HtmlName() +
                                    QStringLiteral("\r\n\r\nデータの再読み込みを行います。"),
                                Prompt::Buttons::OkCancel, Prompt::Icon::Information,
                                QStringLiteral("再読み込み")) != Prompt::Answer::Ok)
        return;
    StepRunner steps;
    // A file that cannot be read leaves the text, so also its edit state, as it was.
    if (steps.run([&] { doc->RichTextBox1->LoadFile(doc->HtmlName()); }))
        doc->EditerFr = 2;
    steps.run([&] { main.runCommand(QStringLiteral("m_vtag")); });
}
