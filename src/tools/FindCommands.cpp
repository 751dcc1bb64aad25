#include "tools/FindCommands.h"

#include "documents/DocumentHost.h"
#include "documents/Form_Editer.h"
#include "platform/Prompts.h"
#include "widgets/RichTextBox.h"
#include "tools/FindBar.h"
#include "tools/Narrow.h"

#include <QRegularExpression>
#include <QTextBlock>

namespace {

void findAgain(DocumentHost &host, bool backward)
{
    Form_Editer *doc = host.activeDocument();
    if (!doc)
        return;
    FindBar &bar = FindBar::of(host, *doc);
    // Nothing looked for yet: F3 asks what to look for.
    if (bar.isHidden() && FindBar::lastSearch().isEmpty())
        bar.open(false);
    else
        bar.findAgain(backward);
}

} // namespace

namespace {
// The line an answer names, kept within 1 to lines; 0 when it is not a number.
int lineForAnswer(const QString &typed, int lines)
{
    // Digits typed full-width through the input method count as well.
    static const QRegularExpression number(QStringLiteral("^([+-]?)0*([0-9]+)$"));
    const QRegularExpressionMatch m = number.match(Narrow(typed).trimmed());
    if (!m.hasMatch())
        return 0;
    if (m.captured(1) == QLatin1String("-"))
        return 1;
    bool ok = false;
    const qlonglong value = m.captured(2).size() > 12 ? 0 : m.captured(2).toLongLong(&ok);
    // Too many digits to read is past the last line all the same.
    return ok ? int(qBound(qlonglong(1), value, qlonglong(lines))) : lines;
}
} // namespace

void GoToLine(DocumentHost &host)
{
    Form_Editer *doc = host.activeDocument();
    if (!doc)
        return;
    RichTextBox *box = doc->RichTextBox1;
    const int current = box->lineOf(box->SelStart()) + 1;
    const int lines = box->lineCount();
    const QString typed = host.prompts()->input(
        {QStringLiteral("移動先の行番号を入力してください（1 - %1）").arg(lines),
         QStringLiteral("行へ移動"), QString::number(current)});
    // An empty answer is a cancel.
    if (typed.trimmed().isEmpty())
        return;
    const int line = lineForAnswer(typed, lines);
    if (line == 0) {
        host.prompts()->message(QStringLiteral("「%1」は行番号ではありません。数字で入力してください。").arg(typed),
                                Prompt::Buttons::Ok, Prompt::Icon::Exclamation,
                                QStringLiteral("行へ移動"));
        return;
    }
    box->setSelStart(box->lineStart(line - 1));
    box->ensureCursorVisible();
    box->setFocus();
}

void InstallFindCommands(DocumentHost &host)
{
    host.setHandler(Cmd::m_efind, [&host] {
        if (Form_Editer *doc = host.activeDocument())
            FindBar::of(host, *doc).open(false);
    });
    host.setHandler(Cmd::m_erepl, [&host] {
        if (Form_Editer *doc = host.activeDocument())
            FindBar::of(host, *doc).open(true);
    });
    host.setHandler(Cmd::m_enext, [&host] { findAgain(host, false); });
    host.setHandler(Cmd::m_eprev, [&host] { findAgain(host, true); });
    host.setHandler(Cmd::m_egoto, [&host] { GoToLine(host); });
}
