#include "documents/ToolInsertion.h"

#include "documents/DocumentHost.h"
#include "documents/Form_Editer.h"
#include "documents/TrackEdits.h"
#include "widgets/RichTextBox.h"
#include "platform/StepRunner.h"

#include <optional>

void ToolEdit(DocumentHost &host, Form_Editer &doc, const std::function<void()> &change)
{
    StepRunner steps;
    {
        EditTrackingPause pause;
        steps.run([&] { doc.UndoBuff = doc.RichTextBox1->TextRTF(); });
        steps.run(change);
        steps.run([&] { doc.BuffBuff = doc.RichTextBox1->TextRTF(); });
    }
    steps.run([&] { FollowPreview(host); });
}

namespace {
int insert(DocumentHost &host, Form_Editer &doc, const QString &text, std::optional<quint32> color)
{
    RichTextBox *box = doc.RichTextBox1;
    int start = 0;
    ToolEdit(host, doc, [&] {
        start = box->SelStart();
        box->setSelRTF(text);
        const int end = start + int(text.size());
        if (color) {
            // The after-image carries the colour, so that Undo toggled back brings it coloured.
            box->setSelStart(start);
            box->setSelLength(int(text.size()));
            box->setSelColor(*color);
        }
        box->setSelStart(end);
    });
    return start;
}
} // namespace

int InsertAtCaret(DocumentHost &host, Form_Editer &doc, const QString &text)
{
    return insert(host, doc, text, std::nullopt);
}

int InsertAtCaret(DocumentHost &host, Form_Editer &doc, const QString &text, quint32 color)
{
    return insert(host, doc, text, color);
}
