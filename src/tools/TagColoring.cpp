#include "tools/TagColoring.h"

#include "app/MDI_Main.h"
#include "app/MDI_Module.h"
#include "documents/Form_Editer.h"
#include "platform/RichTextBox.h"
#include "platform/StepRunner.h"
#include "tools/TagColor.h"

#include <QCoreApplication>

void InstallTagColoring(MDI_Main &main)
{
    // m_vtcl only flips its check mark, which the main window does by itself.
    main.setHandler("m_vtag", [&main] { ColorAllTags(main); });
}

bool ColorOneTag(MDI_Main &main)
{
    Form_Editer *doc = main.activeDocument();
    if (!doc)
        return false;
    RichTextBox *box = doc->RichTextBox1;
    const QString text = box->Text();
    const qsizetype gt = text.indexOf(QLatin1Char('>'), qMax(0, main.TagScanPos - 1));
    if (gt < 0)
        return false;
    box->setSelLength(int(gt + 1) - box->SelStart());
    box->setSelColor(TagColorFor(box->SelText()));
    main.TagScanPos = int(gt + 1);
    return true;
}

void ColorAllTags(MDI_Main &main)
{
    if (!main.isChecked("m_vtcl"))
        return;
    main.setBusyPointer();
    MDI_Module::TrackEdits = false;
    StepRunner steps;
    Form_Editer *doc = main.activeDocument();
    int editerFr = 0;
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
        main.TagScanPos = 1;
        ForEachTagSpan(text, [&](const TagSpan &span) {
            runs.append({int(span.start), int(span.length), span.color});
            main.TagScanPos = int(span.start + span.length);
        });
        doc->RichTextBox1->colorWhole(runs);
    });
    steps.run([&] { doc->RichTextBox1->setSelStart(0); });
    steps.run([&] {
        doc->RichTextBox1->setVisible(true);
        doc->RichTextBox1->setEnabled(true);
        if (hadFocus)
            doc->RichTextBox1->setFocus();
    });
    steps.run([&] {
        if (doc)
            doc->EditerFr = editerFr;
    });
    MDI_Module::TrackEdits = true;
    main.restorePointer();
}
