#include "widgets/QtPrompts.h"

#include <QAbstractButton>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHash>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

namespace {
QMessageBox::StandardButton standardFor(Prompt::Answer a)
{
    switch (a) {
    case Prompt::Answer::Ok:
        return QMessageBox::Ok;
    case Prompt::Answer::Cancel:
        return QMessageBox::Cancel;
    case Prompt::Answer::Yes:
        return QMessageBox::Yes;
    case Prompt::Answer::No:
        return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon iconFor(Prompt::Icon icon)
{
    switch (icon) {
    case Prompt::Icon::None:
        return QMessageBox::NoIcon;
    case Prompt::Icon::Information:
        return QMessageBox::Information;
    case Prompt::Icon::Exclamation:
        return QMessageBox::Warning;
    case Prompt::Icon::Critical:
        return QMessageBox::Critical;
    case Prompt::Icon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons buttonsFor(Prompt::Buttons b)
{
    switch (b) {
    case Prompt::Buttons::Ok:
        return QMessageBox::Ok;
    case Prompt::Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case Prompt::Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Prompt::Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

// What closing the box with Esc or its close button means for each button set.
Prompt::Answer escapeAnswer(Prompt::Buttons b)
{
    switch (b) {
    case Prompt::Buttons::Ok:
        return Prompt::Answer::Ok;
    case Prompt::Buttons::YesNo:
        return Prompt::Answer::No;
    default:
        return Prompt::Answer::Cancel;
    }
}

// Qt's own dialog reads a name holding a double quote as a list of quoted names ("a" "b"), so
// that a"b.html would be b.html. These dialogs choose one file: the name typed is the path as it
// stands. (A dialog of the desktop's own has no such reading and is left as it is.)
class OneFileDialog : public QFileDialog
{
public:
    OneFileDialog(QWidget *parent, const QString &title) : QFileDialog(parent, title) {}

    // Called once the dialog is set up: Qt's OK button would judge a quoted name by the file
    // it reads in it.
    void takeNamesWhole()
    {
        QLineEdit *edit = nameEdit();
        auto *buttons = findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
        if (!edit || !buttons)
            return;
        connect(edit, &QLineEdit::textChanged, this, [this, buttons](const QString &text) {
            QPushButton *ok = buttons->button(acceptMode() == AcceptSave ? QDialogButtonBox::Save
                                                                         : QDialogButtonBox::Open);
            if (ok && text.contains(u'"'))
                ok->setEnabled(acceptMode() == AcceptSave || QFileInfo::exists(typedPath(text)));
        });
    }
    // The file chosen by a name holding a quote; empty when the dialog's own choice stands.
    const QString &typedChoice() const { return m_typed; }

protected:
    void accept() override
    {
        QLineEdit *edit = nameEdit();
        const QString text = edit ? edit->text() : QString();
        if (!text.contains(u'"')) {
            QFileDialog::accept();
            return;
        }
        QString path = typedPath(text);
        if (QFileInfo(path).isDir()) {
            setDirectory(path);
            edit->clear();
            return;
        }
        if (!defaultSuffix().isEmpty() && !QFileInfo(path).fileName().contains(u'.'))
            path += u'.' + defaultSuffix();
        const QFileInfo file(path);
        // The questions Qt's dialog asks, in its own words.
        if (acceptMode() == AcceptOpen && !file.exists()) {
            QMessageBox::warning(this, windowTitle(),
                                 QFileDialog::tr("%1\nFile not found.\nPlease verify the "
                                                 "correct file name was given.")
                                     .arg(file.fileName()));
            return;
        }
        if (acceptMode() == AcceptSave && file.exists() && !testOption(DontConfirmOverwrite) &&
            QMessageBox::warning(this, windowTitle(),
                                 QFileDialog::tr("%1 already exists.\nDo you want to replace it?")
                                     .arg(file.fileName()),
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) != QMessageBox::Yes)
            return;
        m_typed = path;
        QDialog::accept();
    }

private:
    QLineEdit *nameEdit() const { return findChild<QLineEdit *>(QStringLiteral("fileNameEdit")); }
    QString typedPath(const QString &text) const { return directory().absoluteFilePath(text); }

    QString m_typed;
};

// A question with a list: the list scrolls in a box of at most a dozen lines, and the whole
// fits the screen it opens on however many lines there are.
Prompt::Answer listMessage(const MessageRequest &request, QWidget *parent)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("ListMessage"));
    dialog.setWindowTitle(request.title);
    auto *layout = new QVBoxLayout(&dialog);
    auto *top = new QHBoxLayout;
    static const QHash<QMessageBox::Icon, QStyle::StandardPixmap> pictures = {
        {QMessageBox::Information, QStyle::SP_MessageBoxInformation},
        {QMessageBox::Warning, QStyle::SP_MessageBoxWarning},
        {QMessageBox::Critical, QStyle::SP_MessageBoxCritical},
        {QMessageBox::Question, QStyle::SP_MessageBoxQuestion}};
    if (const auto it = pictures.constFind(iconFor(request.icon)); it != pictures.cend()) {
        auto *picture = new QLabel(&dialog);
        const int size = dialog.style()->pixelMetric(QStyle::PM_MessageBoxIconSize);
        picture->setPixmap(dialog.style()->standardIcon(*it).pixmap(size));
        top->addWidget(picture, 0, Qt::AlignTop);
    }
    auto *text = new QLabel(request.text, &dialog);
    text->setWordWrap(true);
    top->addWidget(text, 1);
    layout->addLayout(top);
    auto *list = new QPlainTextEdit(&dialog);
    list->setObjectName(QStringLiteral("List"));
    list->setReadOnly(true);
    list->setLineWrapMode(QPlainTextEdit::NoWrap);
    list->setPlainText(request.list.join(u'\n'));
    const int lines = int(std::clamp<qsizetype>(request.list.size(), 3, 12));
    list->setFixedHeight(list->fontMetrics().lineSpacing() * lines +
                         2 * (list->frameWidth() + int(list->document()->documentMargin())) + 4);
    layout->addWidget(list);
    if (!request.afterList.isEmpty()) {
        auto *after = new QLabel(request.afterList, &dialog);
        after->setWordWrap(true);
        layout->addWidget(after);
    }
    auto *buttons = new QDialogButtonBox(&dialog);
    QList<std::pair<QPushButton *, Prompt::Answer>> answers;
    const auto add = [&](QDialogButtonBox::StandardButton standard, Prompt::Answer answer) {
        QPushButton *button = buttons->addButton(standard);
        if (answers.size() < request.buttonTexts.size())
            button->setText(request.buttonTexts.at(answers.size()));
        answers.append({button, answer});
    };
    if (request.buttons == Prompt::Buttons::Ok || request.buttons == Prompt::Buttons::OkCancel)
        add(QDialogButtonBox::Ok, Prompt::Answer::Ok);
    if (request.buttons == Prompt::Buttons::YesNo ||
        request.buttons == Prompt::Buttons::YesNoCancel) {
        add(QDialogButtonBox::Yes, Prompt::Answer::Yes);
        add(QDialogButtonBox::No, Prompt::Answer::No);
    }
    if (request.buttons == Prompt::Buttons::OkCancel ||
        request.buttons == Prompt::Buttons::YesNoCancel)
        add(QDialogButtonBox::Cancel, Prompt::Answer::Cancel);
    std::optional<Prompt::Answer> answer;
    for (const auto &[button, value] : answers) {
        if (request.defaultButton ? value == *request.defaultButton : button == answers[0].first) {
            button->setDefault(true);
            button->setFocus();
        }
        QObject::connect(button, &QPushButton::clicked, &dialog, [&dialog, &answer, value] {
            answer = value;
            dialog.accept();
        });
    }
    layout->addWidget(buttons);
    const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen)
        dialog.setMaximumSize(screen->availableGeometry().size());
    dialog.exec();
    return answer.value_or(escapeAnswer(request.buttons));
}
} // namespace

Prompt::Answer QtPrompts::message(const MessageRequest &request)
{
    if (!request.list.isEmpty())
        return listMessage(request, m_parent);
    QMessageBox box(iconFor(request.icon), request.title, request.text, buttonsFor(request.buttons),
                    m_parent);
    if (request.defaultButton)
        box.setDefaultButton(standardFor(*request.defaultButton));
    static constexpr QMessageBox::StandardButton Order[] = {
        QMessageBox::Ok, QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    qsizetype caption = 0;
    for (QMessageBox::StandardButton standard : Order)
        if (QAbstractButton *button = box.button(standard);
            button && caption < request.buttonTexts.size())
            button->setText(request.buttonTexts.at(caption++));
    box.exec();
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Ok:
        return Prompt::Answer::Ok;
    case QMessageBox::Yes:
        return Prompt::Answer::Yes;
    case QMessageBox::No:
        return Prompt::Answer::No;
    case QMessageBox::Cancel:
        return Prompt::Answer::Cancel;
    default:
        return escapeAnswer(request.buttons);
    }
}

QString QtPrompts::input(const InputRequest &request)
{
    bool ok = false;
    const QString text = QInputDialog::getText(m_parent, request.title, request.prompt,
                                               QLineEdit::Normal, request.defaultText, &ok);
    return ok ? text : QString();
}

std::optional<QString> QtPrompts::file(const FileDialogRequest &request)
{
    if (request.kind == FileDialogKind::Folder) {
        QFileDialog dialog(m_parent, request.title, request.initialFolder);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().constFirst();
    }
    OneFileDialog dialog(m_parent, request.title);
    dialog.setAcceptMode(request.kind == FileDialogKind::Save ? QFileDialog::AcceptSave
                                                              : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.kind == FileDialogKind::Save ? QFileDialog::AnyFile
                                                            : QFileDialog::ExistingFile);
    if (!request.overwritePrompt)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(request.nameFilters);
    if (request.selectedFilter >= 0 && request.selectedFilter < request.nameFilters.size())
        dialog.selectNameFilter(request.nameFilters.at(request.selectedFilter));
    if (!request.initialFolder.isEmpty())
        dialog.setDirectory(request.initialFolder);
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    dialog.takeNamesWhole();
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    if (!dialog.typedChoice().isEmpty())
        return dialog.typedChoice();
    if (dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}
