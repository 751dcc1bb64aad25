#include "widgets/QtPrompts.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

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
} // namespace

Prompt::Answer QtPrompts::message(const MessageRequest &request)
{
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
    QFileDialog dialog(m_parent, request.title);
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
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}
