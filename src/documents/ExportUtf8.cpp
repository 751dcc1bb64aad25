#include "documents/ExportUtf8.h"

#include "documents/DocumentHost.h"
#include "documents/Form_Editer.h"
#include "documents/SaveCommands.h"
#include "platform/CommonDialog.h"
#include "platform/ErrorBoxes.h"
#include "platform/FileReplace.h"
#include "text/Pictographs.h"
#include "platform/Prompts.h"
#include "widgets/RichTextBox.h"
#include "platform/StepRunner.h"
#include "text/Utf8Export.h"

#include <QDir>
#include <QFileInfo>
#include <optional>
#include <sys/stat.h>
#include <utility>

namespace {

const QString InfoTitle = QStringLiteral("情報");

// The file at path as the system knows it, through links: a second name of a file (a hard
// link) is the same file, which a comparison of names would miss.
std::optional<std::pair<dev_t, ino_t>> FileIdentity(const QString &path)
{
    struct stat st
    {
    };
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return std::pair(st.st_dev, st.st_ino);
}

// True when path is the file of an open page, under any of its names: the copy would write
// over the page it copies.
bool IsOpenPage(DocumentHost &host, const QString &path)
{
    const auto target = FileIdentity(path);
    if (!target)
        return false;
    for (const Form_Editer *doc : host.documents()) {
        if (FileIdentity(doc->HtmlName()) == target)
            return true;
    }
    return false;
}

// A picture the copy shows, to go into the folder beside it.
struct PictureFile
{
    QString path;
    QByteArray bytes;
    std::optional<QByteArray> former; // what is there now, when something is
};

// The pictures to write: those not there yet, and those there with other content. A picture
// already there as the program has it is left alone.
QList<PictureFile> PictureFiles(DocumentHost &host, const QString &path,
                                const Utf8Export::Report &report)
{
    QList<PictureFile> files;
    const QString folder =
        QFileInfo(path).absolutePath() + u'/' + QLatin1String(Utf8Export::ImageFolder);
    for (const Pictograph *p : report.pictures) {
        const QString source = Pictographs::imagePath(host.programFolder(), *p);
        PictureFile file{folder + u'/' + QFileInfo(source).fileName(), ReadFileContent(source),
                         std::nullopt};
        if (QFileInfo::exists(file.path))
            file.former = ReadFileContent(file.path);
        if (file.former != file.bytes)
            files << file;
    }
    return files;
}

// A picture of the user's is replaced only with the user's consent, as an existing copy is.
bool MayReplacePictures(Prompts &prompts, const QList<PictureFile> &pictures)
{
    QStringList there;
    for (const PictureFile &p : pictures)
        if (p.former)
            there << p.path;
    if (there.isEmpty())
        return true;
    const MessageRequest question{
        QStringLiteral("次の画像は既に存在し、書き出す絵文字の画像と内容が異なります。\r\n") +
            there.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n\r\n置き換えますか？"),
        Prompt::Buttons::YesNo, Prompt::Icon::Exclamation, QStringLiteral("確認"),
        Prompt::Answer::No};
    return prompts.message(question) == Prompt::Answer::Yes;
}

// The files one export writes. Each is replaced whole or not at all; when one fails, those
// this export created go again and those it replaced get their former content back, so that a
// failed export leaves what was there before.
class ExportFiles
{
public:
    ~ExportFiles()
    {
        if (!m_done)
            rollBack();
    }
    void folder(const QString &path)
    {
        if (QFileInfo(path).isDir())
            return;
        if (!QDir().mkdir(path)) {
            const int number =
                QFileInfo::exists(path) ? ZErr::PathFileAccess : OpenFailureNumber(path, true);
            throw ZError(number, ZError::describe(number) + QStringLiteral("\r\n") + path);
        }
        m_folder = path;
    }
    void write(const QString &path, QByteArrayView bytes,
               const std::optional<QByteArray> &former = std::nullopt)
    {
        const bool existed = QFileInfo::exists(path);
        if (const std::optional<ZErrorInfo> failure = ReplaceFileContent(path, bytes))
            throw ZError(failure->number, failure->description);
        if (!existed)
            m_created << path;
        else if (former)
            m_replaced << std::pair(path, *former);
    }
    void commit() { m_done = true; }
    // Undoes what was written; returns the files whose former content could not be put back.
    QStringList rollBack()
    {
        m_done = true;
        QStringList lost;
        for (auto it = m_replaced.crbegin(); it != m_replaced.crend(); ++it)
            if (ReplaceFileContent(it->first, it->second))
                lost << it->first;
        for (auto it = m_created.crbegin(); it != m_created.crend(); ++it)
            QFile::remove(*it);
        if (!m_folder.isEmpty())
            QDir().rmdir(m_folder);
        return lost;
    }

private:
    QStringList m_created;
    QList<std::pair<QString, QByteArray>> m_replaced;
    QString m_folder;
    bool m_done = false;
};

void WriteCopy(const QString &path, const Utf8Export::Copy &copy,
               const QList<PictureFile> &pictures)
{
    ExportFiles files;
    try {
        if (!copy.report.pictures.isEmpty())
            files.folder(QFileInfo(path).absolutePath() + u'/' +
                         QLatin1String(Utf8Export::ImageFolder));
        for (const PictureFile &p : pictures)
            files.write(p.path, p.bytes, p.former);
        // The page last: it is there only with every picture it shows.
        files.write(path, copy.bytes);
        files.commit();
    } catch (const ZError &e) {
        const QStringList lost = files.rollBack();
        if (lost.isEmpty())
            throw;
        throw ZError(e.number(),
                     e.description() +
                         QStringLiteral("\r\n\r\n次のファイルを元に戻せませんでした：\r\n") +
                         lost.join(QStringLiteral("\r\n")));
    }
}

QString ReportText(const QString &path, const Utf8Export::Report &r)
{
    QString text =
        QStringLiteral("UTF-8 で書き出しました。\r\n") + path + QStringLiteral("\r\n\r\n");
    text += Utf8Export::pictographCounts(r.emoji, r.images, r.pictures.size(), r.names);
    text += QStringLiteral("U+FFFD にした不正なバイトと外字: %1").arg(r.invalidBytes);
    if (!r.invalidLines.isEmpty()) {
        QStringList lines;
        for (int line : r.invalidLines.mid(0, 10))
            lines << QString::number(line);
        text += QStringLiteral("（%1 行目%2）")
                    .arg(lines.join(QStringLiteral(", ")),
                         r.invalidLines.size() > 10 ? QStringLiteral(" ほか") : QString());
    }
    text += QStringLiteral("\r\n");
    if (r.charsetsChanged > 0)
        text += QStringLiteral("文字コードの宣言を UTF-8 に変更しました。\r\n");
    if (r.charsetInserted)
        text += QStringLiteral("文字コードの宣言 <meta charset=\"UTF-8\"> を追加しました。\r\n");
    return text.chopped(2);
}

} // namespace

void ExportUtf8Command(DocumentHost &host)
{
    Form_Editer *doc = host.activeDocument();
    if (!doc)
        return;
    QString path;
    // A cancelled dialog is the failure of its step and ends the command quietly.
    const bool chosen = StepRunner().run([&] {
        CommonDialog &dialog = host.fileDialog();
        dialog.Filter = SaveFilter;
        dialog.FileName = Utf8Export::proposedName(doc->HtmlName());
        dialog.Flags = CommonDialog::OverwritePrompt;
        dialog.DefaultExt = QStringLiteral("html");
        dialog.ShowSave();
        path = dialog.FileName;
    });
    if (!chosen)
        return;
    Prompts &prompts = *host.prompts();
    if (IsOpenPage(host, path)) {
        prompts.message(path + QStringLiteral("\r\n\r\n開いているページには書き出せません。"
                                              "別の名前を指定してください。"),
                        Prompt::Buttons::Ok, Prompt::Icon::Information, InfoTitle);
        return;
    }
    // The page as it would be saved: its text with the line ends it has.
    const RichImage page = doc->RichTextBox1->TextRTF();
    Utf8Export::Options options;
    options.lineEnds = page.lineEnds;
    options.forms = page.forms;
    host.setBusyPointer();
    const Utf8Export::Copy copy = Utf8Export::convert(page.text.toString(), options);
    StepRunner steps;
    QList<PictureFile> pictures;
    steps.run([&] { pictures = PictureFiles(host, path, copy.report); });
    host.restorePointer();
    if (!steps.failed()) {
        if (!MayReplacePictures(prompts, pictures))
            return;
        host.setBusyPointer();
        steps.run([&] { WriteCopy(path, copy, pictures); });
        host.restorePointer();
    }
    if (steps.failed())
        ShowSaveError(prompts, *steps.lastError());
    else
        prompts.message(ReportText(path, copy.report), Prompt::Buttons::Ok,
                        Prompt::Icon::Information, InfoTitle);
}
