#include "documents/OpenTemplate.h"

#include "app/MDI_Main.h"
#include "documents/Form_Editer.h"
#include "documents/OpenDocument.h"
#include "documents/TemplateLines.h"
#include "platform/Cp932.h"
#include "platform/Prompts.h"
#include "platform/RichTextBox.h"
#include "platform/StepRunner.h"
#include "platform/FileReplace.h"


namespace {
void ShowTemplateError(MDI_Main &main, const ZErrorInfo &e)
{
    main.prompts()->message(QStringLiteral("Zuvo: %1\r\n\r\n%2").arg(e.number).arg(e.description),
                            Prompt::Buttons::Ok, Prompt::Icon::Exclamation,
                            ZError::describe(e.number));
}
} // namespace

void OpenTemplate(MDI_Main &main, const QString &path)
{
    Form_Editer *doc = OpenDocument(main, Form_Editer::NewFileName);
    StepRunner steps;
    steps.run([&] {
        // One content change per line, as the page grows line by line.
        for (const QString &line : TemplateLines(Cp932::decode(ReadFileContent(path))))
            doc->RichTextBox1->setText(doc->RichTextBox1->Text() + line + QStringLiteral("\r\n"));
    });
    if (steps.failed()) {
        ShowTemplateError(main, *steps.lastError());
        return;
    }
    main.runCommand(QStringLiteral("m_vtag"));
    doc->EditerFr = 1;
}
