#include "documents/RecoverPages.h"

#include "documents/DocumentHost.h"
#include "documents/Form_Editer.h"
#include "documents/RecoveryJournal.h"
#include "platform/FileReplace.h"
#include "platform/Prompts.h"
#include "platform/StepRunner.h"
#include "widgets/RichTextBox.h"

#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>
#include <memory>

namespace {

const QString Title = QStringLiteral("復元");
constexpr qsizetype ProgressFrom = 20;

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
    doc->setRestoredFromJournal(true);
}

// Many pages take a while: the progress is shown, and the window stays responsive.
void restoreAll(DocumentHost &host, const QList<RecoveryJournal::Found> &pages)
{
    std::unique_ptr<QProgressDialog> progress;
    if (pages.size() >= ProgressFrom) {
        progress =
            std::make_unique<QProgressDialog>(QStringLiteral("編集内容を復元しています..."),
                                              QString(), 0, int(pages.size()), host.dialogParent());
        progress->setWindowTitle(Title);
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(0);
    }
    host.setBusyPointer();
    for (qsizetype i = 0; i < pages.size(); ++i) {
        StepRunner().run([&] { restore(host, pages[i]); });
        if (progress)
            progress->setValue(int(i + 1));
    }
    host.restorePointer();
    host.showStatus(QStringLiteral("復元用の控えから %1 ページを開きました").arg(pages.size()));
}

} // namespace

void OfferRecovery(DocumentHost &host)
{
    // New files of replacements a crash cut short, in the program's folder and the journal's.
    RemoveLeftoverTemporaries(host.programFolder());
    RecoveryJournal *journal = host.recoveryJournal();
    if (!journal)
        return;
    const QFileInfo folder(journal->folder());
    if (!folder.exists() && !folder.isSymLink())
        return;
    RemoveLeftoverTemporaries(journal->folder());
    const RecoveryJournal::Scan scan =
        RecoveryJournal::scan(journal->folder(), Form_Editer::NewFileName);
    Prompts &prompts = *host.prompts();
    if (!scan.refusedFolder.isEmpty()) {
        prompts.message(QStringLiteral("復元用の控えのフォルダは読み込みません。\r\n\r\n") +
                            scan.refusedFolder,
                        Prompt::Buttons::Ok, Prompt::Icon::Exclamation, Title);
        return;
    }
    if (!scan.unreadable.isEmpty()) {
        MessageRequest report{
            QStringLiteral(
                "次の復元用の控えを読み込めませんでした。控えはそのまま残してあります。"),
            Prompt::Buttons::Ok, Prompt::Icon::Exclamation, Title, std::nullopt};
        for (const RecoveryJournal::Unreadable &record : scan.unreadable)
            report.list << QDir(journal->folder()).filePath(record.name) + QStringLiteral("（") +
                               record.reason + QStringLiteral("）");
        prompts.message(report);
    }
    if (scan.pages.isEmpty())
        return;

    MessageRequest question;
    question.text = QStringLiteral("保存されていない編集内容が残っています。");
    for (const RecoveryJournal::Found &page : scan.pages)
        question.list << page.page + QStringLiteral("（") +
                             page.time.toLocalTime().toString(
                                 QStringLiteral("yyyy/MM/dd HH:mm:ss")) +
                             QStringLiteral("）");
    question.afterList =
        QStringLiteral("復元：編集内容をウィンドウに開きます（ファイルは変更されません。"
                       "最初に保存するときに保存先を確認します）。"
                       "\r\n破棄：残っている編集内容を削除します。"
                       "\r\nキャンセル：次回の起動時にもう一度確認します。");
    question.buttons = Prompt::Buttons::YesNoCancel;
    question.icon = Prompt::Icon::Question;
    question.title = Title;
    question.buttonTexts = {QStringLiteral("復元"), QStringLiteral("破棄"),
                            QStringLiteral("キャンセル")};
    switch (prompts.message(question)) {
    case Prompt::Answer::Yes:
        restoreAll(host, scan.pages);
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
