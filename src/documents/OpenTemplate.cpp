#include "documents/OpenTemplate.h"

#include "documents/DocumentHost.h"
#include "documents/Form_Editer.h"
#include "documents/OpenDocument.h"
#include "platform/Cp932.h"
#include "platform/CrLines.h"
#include "platform/ErrorBoxes.h"
#include "platform/FileReplace.h"
#include "platform/RichTextBox.h"
#include "platform/StepRunner.h"

void OpenTemplate(DocumentHost &host, const QString &path)
{
    Form_Editer *doc = OpenDocument(host, Form_Editer::NewFileName);
    if (!doc)
        return;
    StepRunner steps;
    steps.run([&] {
        // One content change per line, as the page grows line by line.
        const QByteArray bytes = ReadFileContent(path);
        for (QByteArrayView line : SplitCrLines(bytes))
            doc->RichTextBox1->setText(doc->RichTextBox1->Text() + Cp932::decode(line) +
                                       QStringLiteral("\r\n"));
    });
    if (steps.failed()) {
        ShowReadError(*host.prompts(), *steps.lastError());
        return;
    }
    host.runCommand(Cmd::m_vtag);
    doc->EditerFr = Form_Editer::OneChange;
}
