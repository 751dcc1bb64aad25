#include "documents/PageWriter.h"

#include "documents/DocumentHost.h"
#include "documents/CharacterReferences.h"
#include "documents/Form_Editer.h"
#include "documents/ToolInsertion.h"
#include "platform/Prompts.h"
#include "widgets/RichTextBox.h"
#include "platform/StepRunner.h"

namespace {
// The same pattern as a tool insertion, so that one Undo takes every reference back out.
void PutReferences(DocumentHost &host, Form_Editer &doc, const QList<CharacterReference> &found)
{
    RichTextBox *box = doc.RichTextBox1;
    ToolEdit(host, doc, [&] {
        int caret = box->SelStart();
        // From the last to the first, so that the positions still to come stay valid.
        for (auto it = found.crbegin(); it != found.crend(); ++it) {
            box->setSelStart(it->position);
            box->setSelLength(it->length);
            box->setSelText(it->reference);
            if (it->position < caret)
                caret += int(it->reference.size()) - it->length;
        }
        box->setSelStart(caret);
    });
}
} // namespace

bool OfferCharacterReferences(DocumentHost &host, Form_Editer &doc)
{
    const RichImage page = doc.RichTextBox1->TextRTF();
    const QString text = page.text.toString();
    const QList<CharacterReference> found = UnwritableCharacters(text, page.forms);
    if (found.isEmpty())
        return true;
    const QString question =
        doc.HtmlName() +
        QStringLiteral("\r\n\r\nShift-JIS で保存できない文字が含まれています。\r\n") +
        NameCharacters(text, found) +
        QStringLiteral(
            "\r\n\r\nこれらの文字を数値文字参照（&#番号;）に置き換えて保存を継続しますか？");
    if (host.prompts()->message(question, Prompt::Buttons::OkCancel, Prompt::Icon::Information,
                                QStringLiteral("確認")) != Prompt::Answer::Ok)
        return false;
    PutReferences(host, doc, found);
    return true;
}

bool WritePage(DocumentHost &host, Form_Editer &doc, const QString &path)
{
    if (doc.restoredFromJournal() && path == doc.HtmlName() &&
        host.prompts()->message(MessageRequest{
            path + QStringLiteral("\r\n\r\nこのウィンドウは復元用の控えから開いたものです。"
                                  "このファイルに上書きして保存しますか？"),
            Prompt::Buttons::OkCancel, Prompt::Icon::Exclamation, QStringLiteral("復元"),
            Prompt::Answer::Cancel}) != Prompt::Answer::Ok)
        return false;
    if (!OfferCharacterReferences(host, doc))
        return false;
    doc.RichTextBox1->SaveFile(path, 1);
    doc.setRestoredFromJournal(false);
    host.pageUsed(path);
    return true;
}
