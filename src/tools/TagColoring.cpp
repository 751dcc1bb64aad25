#include "tools/TagColoring.h"

#include "documents/DocumentHost.h"
#include "documents/Form_Editer.h"
#include "documents/TrackEdits.h"
#include "widgets/RichTextBox.h"
#include "platform/StepRunner.h"
#include "tools/TagColor.h"

#include <QCoreApplication>

int TagScanPos = 1;

void InstallTagColoring(DocumentHost &host)
{
    // m_vtcl only flips its check mark, which the main window does by itself.
    host.setHandler(Cmd::m_vtag, [&host] { ColorAllTags(host); });
}

bool ColorOneTag(DocumentHost &host)
{
    Form_Editer *doc = host.activeDocument();
    if (!doc)
        return false;
    RichTextBox *box = doc->RichTextBox1;
    const QString text = box->Text();
    const qsizetype gt = text.indexOf(QLatin1Char('>'), qMax(0, TagScanPos - 1));
    if (gt < 0)
        return false;
    box->setSelLength(int(gt + 1) - box->SelStart());
    box->setSelColor(TagColorFor(box->SelText()));
    TagScanPos = int(gt + 1);
    return true;
}

void ColorAllTags(DocumentHost &host)
{
    if (!host.isChecked(Cmd::m_vtcl))
        return;
    host.setBusyPointer();
    const EditTrackingPause pause;
    StepRunner steps;
    Form_Editer *doc = host.activeDocument();
    Form_Editer::EditState editerFr = Form_Editer::Created;
    bool hadFocus = false;
    steps.run([&] {
        if (!doc)
            throw ZError(ZErr::InvalidCall);
        editerFr = doc->EditerFr;
        // The window's focus child, also while the main window is not the active one (a
        // document opened at start-up): hiding the text would hand the keyboard elsewhere.
        hadFocus = doc->RichTextBox1->window()->focusWidget() == doc->RichTextBox1;
        doc->RichTextBox1->setEnabled(false);
        doc->RichTextBox1->setVisible(false);
        // One round of pending messages, so the busy label is painted; the user's own
        // commands wait until the pass is over.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    steps.run([&] {
        if (!doc)
            throw ZError(ZErr::InvalidCall);
        // The text is read once and scanned in one pass; the spans come out as the
        // tag-by-tag search would find them.
        const QString text = doc->RichTextBox1->Text();
        QList<ColorRun> runs;
        TagScanPos = 1;
        ForEachTagSpan(text, [&](const TagSpan &span) {
            runs.append({int(span.start), int(span.length), span.color});
            TagScanPos = int(span.start + span.length);
        });
        doc->RichTextBox1->colorWhole(runs);
    });
    // Without a document each step fails as a call on nothing would, and is skipped.
    const auto requireDocument = [&] {
        if (!doc)
            throw ZError(ZErr::InvalidCall);
    };
    steps.run([&] {
        requireDocument();
        doc->RichTextBox1->setSelStart(0);
    });
    steps.run([&] {
        requireDocument();
        doc->RichTextBox1->setVisible(true);
        doc->RichTextBox1->setEnabled(true);
        if (hadFocus)
            doc->RichTextBox1->setFocus();
    });
    steps.run([&] {
        if (doc)
            doc->EditerFr = editerFr;
    });
    host.restorePointer();
}
