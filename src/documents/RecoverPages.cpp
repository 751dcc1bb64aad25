#include "documents/RecoverPages.h"

#include "documents/DocumentHost.h"
#include "documents/Form_Editer.h"
#include "documents/RecoveryJournal.h"
#include "platform/Prompts.h"
#include "widgets/RichTextBox.h"
#include "platform/StepRunner.h"

#include <QDir>

namespace {

const QString Title = QStringLiteral("復元");

void restore(DocumentHost &host, const RecoveryJournal::Found &found)
{
    auto *doc = new Form_Editer(&host);
    doc->setHtmlName(found.page);
    doc->RichTextBox1->setTextRTF(RichImage{PieceText(found.text), {}, found.forms, found.lineEnds});
    doc->adoptJournal(found.id);
    StepRunner steps;
    steps.run([&] {
        host.addDocumentWindow(doc);
        doc->RichTextBox1->setFocus();
    });
    steps.run([&] { host.runCommand(Cmd::m_vtag); });
    steps.run([&] {
        doc->BuffBuff = doc->RichTextBox1->TextRTF();
        // Undo right away leaves the restored text, not an empty page.
        doc->UndoBuff = doc->BuffBuff;
    });
    doc->EditerFr = Form_Editer::Modified;
}

} // namespace

void OfferRecovery(DocumentHost &host)
{
    RecoveryJournal *journal = host.recoveryJournal();
    if (!journal || !QDir(journal->folder()).exists())
        return;
    // Half-written copies of an atomic replacement that a crash cut short: no other copy of the
    // program runs now that could still be writing them.
    QDir folder(journal->folder());
    for (const QString &name : folder.entryList({QStringLiteral(".zemlo-*.tmp")},
                                                QDir::Files | QDir::Hidden))
        folder.remove(name);
    const RecoveryJournal::Scan scan = RecoveryJournal::scan(journal->folder());
    Prompts &prompts = *host.prompts();
    if (!scan.unreadable.isEmpty()) {
        QString names;
        for (const QString &name : scan.unreadable)
            names += QStringLiteral("\r\n") + QDir(journal->folder()).filePath(name);
        prompts.message(
            QStringLiteral("次の復元用の控えを読み込めませんでした。控えはそのまま残してあります。") +
                QStringLiteral("\r\n") + names,
            Prompt::Buttons::Ok, Prompt::Icon::Exclamation, Title);
    }
    if (scan.pages.isEmpty())
        return;

    QString list;
    for (const RecoveryJournal::Found &page : scan.pages)
        list += QStringLiteral("\r\n  ") + page.page + QStringLiteral("（") +
                page.time.toLocalTime().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")) +
                QStringLiteral("）");
    MessageRequest question;
    question.text =
        QStringLiteral("保存されていない編集内容が残っています。\r\n") + list +
        QStringLiteral("\r\n\r\n復元：編集内容をウィンドウに開きます（ファイルは変更されません）。"
                       "\r\n破棄：残っている編集内容を削除します。"
                       "\r\nキャンセル：次回の起動時にもう一度確認します。");
    question.buttons = Prompt::Buttons::YesNoCancel;
    question.icon = Prompt::Icon::Question;
    question.title = Title;
    question.buttonTexts = {QStringLiteral("復元"), QStringLiteral("破棄"),
                            QStringLiteral("キャンセル")};
    switch (prompts.message(question)) {
    case Prompt::Answer::Yes:
        for (const RecoveryJournal::Found &page : scan.pages)
            StepRunner().run([&] { restore(host, page); });
        break;
    case Prompt::Answer::No:
        // Enter alone does not delete the user's text.
        if (prompts.message(MessageRequest{
                QStringLiteral("保存されていない編集内容を削除します。元に戻せません。"
                               "よろしいですか？"),
                Prompt::Buttons::OkCancel, Prompt::Icon::Exclamation, QStringLiteral("破棄"),
                Prompt::Answer::Cancel}) == Prompt::Answer::Ok)
            for (const RecoveryJournal::Found &page : scan.pages)
                RecoveryJournal::discard(journal->folder(), page.id);
        break;
    default:
        break;
    }
}
