#include "tools/FindBar.h"

#include "documents/DocumentHost.h"
#include "documents/Form_Editer.h"
#include "documents/ToolInsertion.h"
#include "widgets/RichTextBox.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
// Kept for the run of the program, shared by every document's bar.
struct Remembered
{
    QString text;
    SearchOptions options;
};
Remembered &remembered()
{
    static Remembered r;
    return r;
}

const QString NotFound = QStringLiteral("見つかりません");
const QColor NotFoundColor(255, 204, 204);

QPushButton *button(const QString &caption, const char *name, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}
} // namespace

FindBar::FindBar(DocumentHost &host, Form_Editer &doc) : QWidget(&doc), m_host(host), m_doc(doc)
{
    setObjectName("FindBar");
    setAutoFillBackground(true);
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(4, 2, 4, 2);
    grid->setVerticalSpacing(2);

    grid->addWidget(new QLabel(QStringLiteral("検索:"), this), 0, 0);
    findField = new QLineEdit(this);
    findField->setObjectName("FindText");
    grid->addWidget(findField, 0, 1);
    auto *findRow = new QHBoxLayout;
    nextButton = button(QStringLiteral("次へ"), "FindNext", this);
    previousButton = button(QStringLiteral("前へ"), "FindPrevious", this);
    closeButton = button(QStringLiteral("閉じる"), "FindClose", this);
    for (QWidget *w : std::initializer_list<QWidget *>{nextButton, previousButton})
        findRow->addWidget(w);
    findRow->addStretch(1);
    findRow->addWidget(closeButton);
    grid->addLayout(findRow, 0, 2);
    // The options have a row of their own under the fields: beside the buttons they left a
    // document window of the size it opens with a field of two or three characters.
    auto *optionRow = new QHBoxLayout;
    matchCase = new QCheckBox(QStringLiteral("大文字と小文字を区別(&C)"), this);
    matchCase->setObjectName("MatchCase");
    ignoreWidth = new QCheckBox(QStringLiteral("全角と半角を区別しない(&Z)"), this);
    ignoreWidth->setObjectName("IgnoreWidth");
    optionRow->addWidget(matchCase);
    optionRow->addWidget(ignoreWidth);
    optionRow->addStretch(1);
    grid->addLayout(optionRow, 2, 1, 1, 2);

    m_replaceRow = new QWidget(this);
    auto *replaceRow = new QHBoxLayout(m_replaceRow);
    replaceRow->setContentsMargins(0, 0, 0, 0);
    m_replaceLabel = new QLabel(QStringLiteral("置換後:"), this);
    replaceField = new QLineEdit(this);
    replaceField->setObjectName("ReplaceText");
    replaceButton = button(QStringLiteral("置換(&R)"), "Replace", m_replaceRow);
    replaceAllButton = button(QStringLiteral("すべて置換(&A)"), "ReplaceAll", m_replaceRow);
    replaceRow->addWidget(replaceButton);
    replaceRow->addWidget(replaceAllButton);
    replaceRow->addStretch(1);
    grid->addWidget(m_replaceLabel, 1, 0);
    grid->addWidget(replaceField, 1, 1);
    grid->addWidget(m_replaceRow, 1, 2);
    grid->setColumnStretch(1, 1);

    const Remembered &r = remembered();
    findField->setText(r.text);
    matchCase->setChecked(r.options.matchCase);
    ignoreWidth->setChecked(r.options.ignoreWidth);

    connect(findField, &QLineEdit::textEdited, this, &FindBar::findAsTyped);
    connect(nextButton, &QPushButton::clicked, this, [this] { findAgain(false); });
    connect(previousButton, &QPushButton::clicked, this, [this] { findAgain(true); });
    connect(replaceButton, &QPushButton::clicked, this, &FindBar::replaceOne);
    connect(replaceAllButton, &QPushButton::clicked, this, &FindBar::replaceAll);
    connect(closeButton, &QPushButton::clicked, this, &FindBar::closeBar);
    for (QCheckBox *box : {matchCase, ignoreWidth})
        connect(box, &QCheckBox::toggled, this, [this] {
            remember();
            showFound(true);
        });
    setTabOrder(findField, replaceField);
    for (QWidget *w : findChildren<QWidget *>())
        w->installEventFilter(this);
    hide();
}

FindBar &FindBar::of(DocumentHost &host, Form_Editer &doc)
{
    if (auto *bar = qobject_cast<FindBar *>(doc.bottomBar()))
        return *bar;
    auto *bar = new FindBar(host, doc);
    doc.setBottomBar(bar);
    return *bar;
}

QString FindBar::lastSearch() { return remembered().text; }

void FindBar::open(bool withReplace)
{
    const QString selected = m_doc.RichTextBox1->SelText();
    if (!selected.isEmpty() && !selected.contains(QLatin1Char('\n')))
        findField->setText(selected);
    else
        findField->setText(remembered().text);
    for (QWidget *w : std::initializer_list<QWidget *>{m_replaceLabel, replaceField, m_replaceRow})
        w->setVisible(withReplace);
    show();
    findField->setFocus();
    findField->selectAll();
    remember();
}

void FindBar::closeBar()
{
    hide();
    m_doc.RichTextBox1->setFocus();
}

SearchOptions FindBar::options() const
{
    return {matchCase->isChecked(), ignoreWidth->isChecked()};
}

TextSearch FindBar::search() const
{
    return TextSearch(m_doc.RichTextBox1->Text(), findField->text(), options());
}

void FindBar::remember()
{
    remembered() = {findField->text(), options()};
}

void FindBar::showFound(bool found)
{
    QPalette pal = findField->palette();
    pal.setColor(QPalette::Base, found ? palette().color(QPalette::Base) : NotFoundColor);
    findField->setPalette(pal);
    if (!found)
        m_host.showStatus(NotFound);
}

void FindBar::select(const TextMatch &match)
{
    RichTextBox *box = m_doc.RichTextBox1;
    box->setSelStart(int(match.start));
    box->setSelLength(int(match.length));
    box->ensureCursorVisible();
}

void FindBar::findAsTyped()
{
    remember();
    m_host.showStatus(QString());
    if (findField->text().isEmpty()) {
        showFound(true);
        return;
    }
    // From the start of the selection, so that each further letter keeps the match it grows.
    const auto found = FindWrapping(search(), m_doc.RichTextBox1->SelStart(), false);
    showFound(found.has_value());
    if (!found)
        return;
    select(found->match);
    if (found->wrapped)
        m_host.showStatus(QStringLiteral("ページの末尾に達したので、先頭から検索しました"));
}

bool FindBar::findAgain(bool backward)
{
    // A hidden bar looks for what was last looked for, in whichever document.
    if (isHidden()) {
        findField->setText(remembered().text);
        matchCase->setChecked(remembered().options.matchCase);
        ignoreWidth->setChecked(remembered().options.ignoreWidth);
    }
    remember();
    m_host.showStatus(QString());
    if (findField->text().isEmpty())
        return false;
    const RichTextBox *box = m_doc.RichTextBox1;
    const qsizetype from = backward ? box->SelStart() : box->SelStart() + box->SelLength();
    const auto found = FindWrapping(search(), from, backward);
    showFound(found.has_value());
    if (!found)
        return false;
    select(found->match);
    if (found->wrapped)
        m_host.showStatus(backward ? QStringLiteral("ページの先頭に達したので、末尾から検索しました")
                                   : QStringLiteral("ページの末尾に達したので、先頭から検索しました"));
    return true;
}

void FindBar::replaceOne()
{
    RichTextBox *box = m_doc.RichTextBox1;
    const auto match = search().next(box->SelStart());
    const bool selectionMatches = match && match->start == box->SelStart() &&
                                  match->length == box->SelLength() && box->SelLength() > 0;
    if (selectionMatches) {
        const QString replacement = replaceField->text();
        ToolEdit(m_host, m_doc, [&] {
            box->setSelText(replacement);
        });
    }
    findAgain(false);
}

int FindBar::replaceAll()
{
    remember();
    m_host.showStatus(QString());
    RichTextBox *box = m_doc.RichTextBox1;
    const RichImage before = box->TextRTF();
    const QString text = before.text.toString();
    const TextSearch search(text, findField->text(), options());
    const QList<TextMatch> matches = search.all();
    showFound(!matches.isEmpty());
    if (matches.isEmpty())
        return 0;
    const QString replacement = replaceField->text();
    // The colours move with the text; a replacement takes the colour of what it replaced.
    RichImage after{PieceText(ReplaceMatches(text, matches, replacement)), {}};
    ReplacedPositions moved(matches, replacement.size());
    after.runs.reserve(before.runs.size());
    for (const ColorRun &run : before.runs) {
        const qsizetype from = moved(run.start);
        const qsizetype to = moved(run.start + run.length);
        if (to > from)
            after.runs.append({int(from), int(to - from), run.color});
    }
    const qsizetype caret = ReplacedPositions(matches, replacement.size())(box->SelStart());
    ToolEdit(m_host, m_doc, [&] {
        box->setTextRTF(after);
        box->setSelStart(int(caret));
        box->ensureCursorVisible();
    });
    m_host.showStatus(QStringLiteral("%1 件置換しました").arg(matches.size()));
    return int(matches.size());
}

bool FindBar::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape) {
            closeBar();
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (watched == replaceField)
                replaceOne();
            else if (watched == findField)
                findAgain(key->modifiers() & Qt::ShiftModifier);
            else
                return QWidget::eventFilter(watched, event);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
