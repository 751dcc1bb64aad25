// The library window's commands: inserting, editing the list, switching files, saving.
#include "taglib/Form_TAG.h"

#include "documents/DocumentHost.h"
#include "documents/Form_Editer.h"
#include "documents/ToolInsertion.h"
#include "platform/Prompts.h"
#include "widgets/RichTextBox.h"
#include "platform/StepRunner.h"
#include "taglib/TagLibraryPath.h"
#include "taglib/TagListItem.h"
#include "tools/TagColor.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QTreeWidget>

namespace {
const QString tagPrompt = QStringLiteral("ライブラリへ追加する<TAG>を入力して下さい");
const QString tagTitle = QStringLiteral("<TAG>Library");
const QString commentPrompt = QStringLiteral("コメントを入力して下さい");
const QString commentTitle = QStringLiteral("Comment");
} // namespace

void Form_TAG::Toolbar1_ButtonClick(const QString &key)
{
    if (key == QLatin1String("t_inp"))
        m_mtin_Click();
    else
        m_mexit_Click();
}

void Form_TAG::m_mtin_Click()
{
    QTreeWidgetItem *row = ListView1->currentItem();
    Form_Editer *doc = m_host.activeDocument();
    if (!row || !doc)
        return;
    const QString tag = row->text(1);
    // Coloured as it goes in, so that the after-image carries the colour and Undo toggled
    // back brings it coloured.
    InsertAtCaret(m_host, *doc, tag, TagColorFor(tag));
}

void Form_TAG::m_madd_Click()
{
    const QString tag = askEntryText({tagPrompt, tagTitle, QString()});
    if (tag.isEmpty())
        return;
    const QString comment = askEntryText({commentPrompt, commentTitle, QString()});
    if (comment.isEmpty())
        return;
    addRow({comment, tag});
    keepSorted();
    LibraryEdited = true;
}

void Form_TAG::m_medi_Click()
{
    QTreeWidgetItem *row = ListView1->currentItem();
    if (!row)
        return;
    const QString tag = askEntryText({tagPrompt, tagTitle, row->text(1)});
    if (tag.isEmpty())
        return;
    const QString comment = askEntryText({commentPrompt, commentTitle, row->text(0)});
    if (comment.isEmpty())
        return;
    row->setText(0, comment);
    row->setText(1, tag);
    keepSorted();
    LibraryEdited = true;
}

QString Form_TAG::askEntryText(InputRequest request)
{
    // Refused here rather than at the save, where one such entry would fail every save and
    // lose the other edits with it.
    Prompts *ask = m_host.prompts();
    for (;;) {
        const QString text = ask->input(request);
        if (text.isEmpty())
            return text;
        const std::optional<QString> problem = UnstorableInEntry(text);
        if (!problem)
            return text;
        ask->message(*problem + QStringLiteral("\r\n\r\n入力し直して下さい。"), Prompt::Buttons::Ok,
                     Prompt::Icon::Exclamation, QStringLiteral("My TAG Library"));
        request.defaultText = text;
    }
}

void Form_TAG::m_mdel_Click()
{
    QTreeWidgetItem *row = ListView1->currentItem();
    if (!row)
        return;
    MessageRequest question{QStringLiteral("TAG Libraryから\u2019") + row->text(0) +
                                QStringLiteral("\u2019を削除します。"),
                            Prompt::Buttons::OkCancel, Prompt::Icon::Information,
                            QStringLiteral("確認"), Prompt::Answer::Cancel};
    if (m_host.prompts()->message(question) != Prompt::Answer::Ok)
        return;
    delete row;
    LibraryEdited = true;
}

void Form_TAG::m_mnew_Click()
{
    CommonDialog1.DialogTitle = QStringLiteral("新規ﾗｲﾌﾞﾗﾘの作成");
    CommonDialog1.Flags = 0; // an existing library is kept, never replaced
    if (!StepRunner().run([this] { CommonDialog1.ShowSave(); }))
        return;
    CreateLibraryFile(CommonDialog1.FileName);
}

void Form_TAG::m_mche_Click()
{
    CommonDialog1.DialogTitle = QStringLiteral("ﾗｲﾌﾞﾗﾘﾌｧｲﾙの切り替え");
    CommonDialog1.Flags = 0;
    if (!StepRunner().run([this] { CommonDialog1.ShowOpen(); }))
        return;
    SwitchLibraryFile(CommonDialog1.FileName);
}

void Form_TAG::SwitchLibraryFile(const QString &path)
{
    LibraryName = path;
    SaveTagLibraryPath(m_host.programFolder(), path);
    ReloadLibrary();
}

void Form_TAG::CreateLibraryFile(const QString &path)
{
    LibraryName = path;
    (void)CreateTagLibraryFile(path); // a file that cannot be made shows up in the reload
    SaveTagLibraryPath(m_host.programFolder(), path);
    ReloadLibrary();
}

void Form_TAG::ListView1_ColumnClick(int column)
{
    m_sortColumn = column;
    ListView1->header()->setSortIndicatorShown(true);
    ListView1->header()->setSortIndicator(column, Qt::AscendingOrder);
    keepSorted();
}

void Form_TAG::keepSorted()
{
    if (m_sortColumn >= 0)
        ListView1->sortItems(m_sortColumn, Qt::AscendingOrder);
}

void Form_TAG::m_mwin_Click()
{
    if (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized))
        showNormal();
    else
        showMaximized();
}

void Form_TAG::saveLibrary()
{
    const QList<TagLibraryEntry> rows = entries();
    std::optional<ZErrorInfo> failure;
    if (mayOverwriteUnreadLibrary()) {
        failure = writeLibrary(LibraryName, rows);
    } else {
        // The file stays as it is; the edits may still go to another file.
        const std::optional<QString> path = chooseLibraryFile();
        if (!path)
            return;
        failure = writeLibrary(*path, rows);
    }
    // A failed write would lose the edits without a word: offer another file until one
    // takes them or the user gives up.
    while (failure) {
        const std::optional<QString> path = askOtherLibraryFile(*failure);
        if (!path)
            return;
        failure = writeLibrary(*path, rows);
    }
}

std::optional<ZErrorInfo> Form_TAG::writeLibrary(const QString &path,
                                                 const QList<TagLibraryEntry> &rows)
{
    std::optional<ZErrorInfo> failure = WriteTagLibraryFile(path, rows);
    if (failure)
        return failure;
    if (path != LibraryName) {
        // Later starts open the library that now holds the edits.
        LibraryName = path;
        SaveTagLibraryPath(m_host.programFolder(), path);
    }
    m_readFailure.reset();
    m_droppedLine.clear();
    return std::nullopt;
}

bool Form_TAG::mayOverwriteUnreadLibrary()
{
    // A library that is not there loses nothing (and what is not a file is never replaced);
    // one that was read only in part would lose what the list never held.
    if (!m_readFailure || !QFileInfo(LibraryName).isFile())
        return true;
    QString lost;
    if (m_readFailure->number == ZErr::InputPastEnd) {
        lost = QStringLiteral("読み込めなかった最後の行「") + m_droppedLine + QStringLiteral("」");
    } else {
        lost = QStringLiteral("読み込めなかったファイルの内容すべて（") +
               QString::number(QFileInfo(LibraryName).size()) + QStringLiteral(" バイト）");
    }
    const QString text =
        QStringLiteral("TAG Libraryのファイルは正しく読み込めていません。\r\n\r\n") + LibraryName +
        QStringLiteral("\r\nZuvo: ") + QString::number(m_readFailure->number) +
        QStringLiteral("  ") + m_readFailure->description +
        QStringLiteral("\r\n\r\n上書きして保存すると、次の内容が失われます：\r\n") + lost +
        QStringLiteral("\r\n\r\n上書きしますか？\r\n"
                       "（キャンセルすると、このファイルはそのまま残し、"
                       "編集内容を別のファイルに保存できます。）");
    const MessageRequest question{text, Prompt::Buttons::OkCancel, Prompt::Icon::Exclamation,
                                  QStringLiteral("My TAG Library"), Prompt::Answer::Cancel};
    return m_host.prompts()->message(question) == Prompt::Answer::Ok;
}

std::optional<QString> Form_TAG::askOtherLibraryFile(const ZErrorInfo &failure)
{
    const QString name =
        LibraryName.isEmpty() ? QStringLiteral("（ファイル名がありません）") : LibraryName;
    const QString text = QStringLiteral("TAG Libraryを保存できませんでした。\r\n\r\n") + name +
                         QStringLiteral("\r\nZuvo: ") + QString::number(failure.number) +
                         QStringLiteral("  ") + failure.description +
                         QStringLiteral("\r\n\r\n編集内容を別のファイルに保存しますか？");
    if (m_host.prompts()->message(text, Prompt::Buttons::OkCancel, Prompt::Icon::Exclamation,
                                  QStringLiteral("My TAG Library")) != Prompt::Answer::Ok)
        return std::nullopt;
    return chooseLibraryFile();
}

std::optional<QString> Form_TAG::chooseLibraryFile()
{
    CommonDialog1.DialogTitle = QStringLiteral("TAG Libraryの保存");
    CommonDialog1.Flags = CommonDialog::OverwritePrompt;
    if (!StepRunner().run([this] { CommonDialog1.ShowSave(); }))
        return std::nullopt;
    return CommonDialog1.FileName;
}
