#include "tools/TextConversion.h"

#include "documents/DocumentHost.h"
#include "documents/Form_Editer.h"
#include "platform/Prompts.h"
#include "widgets/RichTextBox.h"
#include "platform/StepRunner.h"
#include "tools/Narrow.h"

namespace {

Form_Editer &requireDocument(DocumentHost &host)
{
    Form_Editer *doc = host.activeDocument();
    if (!doc)
        throw ZError(ZErr::InvalidCall);
    return *doc;
}

// Narrows the active document's text. Setting the text is left tracked on purpose: the
// document's own change handling takes the undo image, so Undo brings the old text back.
void ConvertToHalfWidth(DocumentHost &host)
{
    if (host.prompts()->message(QStringLiteral("全角カタカナを半角ｶﾀｶﾅへ変換します。"),
                                Prompt::Buttons::OkCancel, Prompt::Icon::Information,
                                QStringLiteral("変換")) != Prompt::Answer::Ok)
        return;
    StepRunner steps;
    QString text;
    Cp932::Forms forms;
    const bool read = steps.run([&] {
        const RichImage page = requireDocument(host).RichTextBox1->TextRTF();
        text = page.text.toString();
        forms = page.forms;
    });
    // The characters left alone keep the bytes they were read in.
    steps.run([&] { text = Narrow(text, forms); });
    steps.run([&] {
        // Without the text read, writing would empty the document.
        if (read)
            requireDocument(host).RichTextBox1->setText(text, forms);
    });
    steps.run([&] { host.runCommand(Cmd::m_vtag); });
}

} // namespace

void InstallTextConversion(DocumentHost &host)
{
    host.setHandler(Cmd::m_ezth, [&host] { ConvertToHalfWidth(host); });
}
