#include "documents/OpenTemplate.h"

#include "documents/DocumentHost.h"
#include "documents/Form_Editer.h"
#include "documents/OpenDocument.h"
#include "text/Cp932.h"
#include "text/CrLines.h"
#include "platform/ErrorBoxes.h"
#include "platform/FileReplace.h"
#include "widgets/RichTextBox.h"
#include "platform/StepRunner.h"

void OpenTemplate(DocumentHost &host, const QString &path)
{
    Form_Editer *doc = OpenDocument(host, Form_Editer::NewFileName);
    if (!doc)
        return;
    StepRunner steps;
    steps.run([&] {
        // One content change per line, as the page grows line by line. The characters keep
        // the bytes they were read in; the new page's line ends are its own (CR LF).
        const QByteArray bytes = ReadFileContent(path);
        RichTextBox *box = doc->RichTextBox1;
        for (QByteArrayView line : SplitCrLines(bytes)) {
            const Cp932::Page read = Cp932::decodePage(line);
            RichImage page = box->TextRTF();
            const int start = int(page.text.size());
            for (Cp932::Form form : read.forms) {
                form.position += start;
                page.forms.append(form);
            }
            box->setText(page.text.toString() + read.text + QLatin1Char('\n'), page.forms);
        }
    });
    if (steps.failed()) {
        ShowReadError(*host.prompts(), *steps.lastError());
        return;
    }
    host.runCommand(Cmd::m_vtag);
    doc->EditerFr = Form_Editer::OneChange;
}
