#include "platform/CommonDialog.h"

#include "platform/ZError.h"

QStringList CommonDialog::qtFilters(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString &p : parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts))
            // "*.*" means every file, also those without a dot.
            patterns.append(p.trimmed() == QLatin1String("*.*") ? QStringLiteral("*") : p.trimmed());
        out.append(parts.at(i) + QLatin1String(" (") + patterns.join(QLatin1Char(' ')) +
                   QLatin1Char(')'));
    }
    return out;
}

void CommonDialog::ShowOpen() { show(FileDialogKind::Open); }

void CommonDialog::ShowSave() { show(FileDialogKind::Save); }

void CommonDialog::show(FileDialogKind kind)
{
    if (!m_prompts)
        throw ZError(ZErr::InvalidCall);
    FileDialogRequest request;
    request.kind = kind;
    request.title = DialogTitle;
    request.nameFilters = qtFilters(Filter);
    request.selectedFilter = FilterIndex - 1;
    request.initialFolder = InitDir;
    request.fileName = FileName;
    request.defaultSuffix = DefaultExt.startsWith(QLatin1Char('.')) ? DefaultExt.mid(1) : DefaultExt;
    request.overwritePrompt = (Flags & OverwritePrompt) != 0;
    const auto chosen = m_prompts->file(request);
    if (!chosen)
        throw ZError(ZErr::DialogCancelled, QStringLiteral("キャンセルされました。"));
    FileName = *chosen;
}
