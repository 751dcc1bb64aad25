#include "documents/Form_Editer.h"

#include "documents/DocumentHost.h"
#include "platform/ErrorBoxes.h"
#include "documents/PageWriter.h"
#include "documents/RecoveryJournal.h"
#include "documents/TrackEdits.h"
#include "platform/Prompts.h"
#include "widgets/RichTextBox.h"
#include "platform/StepRunner.h"
#include "widgets/Twips.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTextDocument>

const QString Form_Editer::NewFileName = QStringLiteral("新しいファイル");

Form_Editer::Form_Editer(DocumentHost *host, QWidget *parent)
    : QWidget(parent), RichTextBox1(nullptr), Label1(nullptr), m_host(host)
{
    setObjectName("Form_Editer");
    setAttribute(Qt::WA_DeleteOnClose);
    // Opaque: while a colouring pass hides the text, only this window paints the area behind
    // the busy label, not the window frame and the workspace beneath it as well.
    setAutoFillBackground(true);
    Label1 = new QLabel(QStringLiteral("TAG解析中・・・"), this);
    Label1->setObjectName("Label1");
    QFont labelFont;
    labelFont.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                           QStringLiteral("Noto Sans CJK JP"), QStringLiteral("sans-serif")});
    labelFont.setPointSizeF(15.75);
    labelFont.setWeight(QFont::Bold);
    Label1->setFont(labelFont);
    Label1->resize(Twips::toPixels(2160, this), Twips::toPixels(315, this));
    Label1->setMinimumWidth(Label1->sizeHint().width());
    Label1->resize(qMax(Label1->width(), Label1->sizeHint().width()), Label1->height());
    RichTextBox1 = new RichTextBox(this);
    RichTextBox1->raise();
    connect(RichTextBox1, &RichTextBox::Change, this, &Form_Editer::RichTextBox1_Change);
    RichTextBox1->onKeyPress = [this](QChar ch) { return RichTextBox1_KeyPress(ch); };
    EditerFr = Created; // the window's load
    // One write per quiet moment, never one per keystroke; and one at the latest the same time
    // after the first change no copy holds, so that steady typing is kept too.
    for (QTimer *timer : {&m_journalTimer, &m_journalDeadline}) {
        timer->setSingleShot(true);
        timer->setInterval(JournalDelayMs);
        connect(timer, &QTimer::timeout, this, &Form_Editer::updateJournal);
    }
}

Form_Editer::~Form_Editer()
{
    // The unload: the host leaves the document state (another window's activation brings it
    // back).
    if (!m_unloaded && m_host)
        m_host->documentUnloaded(*this);
    removeJournal();
}

void Form_Editer::setHtmlName(const QString &name)
{
    m_htmlName = name;
    setWindowTitle(name);
    if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
        sub->setWindowTitle(name);
}

void Form_Editer::RichTextBox1_Change()
{
    if (EditerFr < Modified)
        EditerFr = EditState(EditerFr + 1);
    // Tool edits pause tracking but change the text all the same.
    if (m_host && m_host->recoveryJournal()) {
        m_journalTimer.start();
        if (!m_journalDeadline.isActive())
            m_journalDeadline.start();
    }
    if (!MDI_Module::TrackEdits)
        return;
    StepRunner steps;
    steps.run([this] { UndoBuff = BuffBuff; });
    steps.run([this] { BuffBuff = RichTextBox1->TextRTF(); });
    steps.run([this] {
        if (m_host)
            FollowPreview(*m_host);
    });
}

bool Form_Editer::RichTextBox1_KeyPress(QChar ch)
{
    if (ch != QLatin1Char('<'))
        return false;
    StepRunner steps;
    int p = 0;
    steps.run([&] { p = RichTextBox1->SelStart(); });
    steps.run([&] { RichTextBox1->setSelText(QStringLiteral("<>")); });
    steps.run([&] { RichTextBox1->setSelStart(p + 1); });
    return true;
}

void Form_Editer::Activate()
{
    if (m_host)
        m_host->documentActivated(*this);
}

void Form_Editer::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutChildren();
}

void Form_Editer::setBottomBar(QWidget *bar)
{
    m_bottomBar = bar;
    bar->setParent(this);
    bar->installEventFilter(this);
    layoutChildren();
}

bool Form_Editer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_bottomBar && (event->type() == QEvent::Show || event->type() == QEvent::Hide ||
                                   event->type() == QEvent::LayoutRequest))
        layoutChildren();
    return QWidget::eventFilter(watched, event);
}

void Form_Editer::layoutChildren()
{
    const int bar = m_bottomBar && !m_bottomBar->isHidden() ? m_bottomBar->sizeHint().height() : 0;
    RichTextBox1->setGeometry(0, 0, width(), height() - bar);
    if (bar > 0)
        m_bottomBar->setGeometry(0, height() - bar, width(), bar);
    Label1->move(width() / 2 - Label1->width() / 2, height() / 2 - Label1->height());
}

bool Form_Editer::QueryUnload()
{
    if (EditerFr <= Unmodified)
        return true;
    Prompts *prompts = m_host ? m_host->prompts() : nullptr;
    if (!prompts)
        return false;
    const Prompt::Answer answer = prompts->message(
        m_htmlName + QStringLiteral("\r\n\r\nデータが編集されています。編集内容を保存しますか？"),
        Prompt::Buttons::YesNoCancel, Prompt::Icon::Information, QStringLiteral("閉じる"));
    switch (answer) {
    case Prompt::Answer::No:
        return true;
    case Prompt::Answer::Yes:
        if (m_htmlName == NewFileName) {
            prompts->message(QStringLiteral("ファイル名を付けて保存してください。"),
                             Prompt::Buttons::Ok, Prompt::Icon::Information, NewFileName);
            return false;
        }
        return saveOnClose();
    default:
        return false;
    }
}

void Form_Editer::closeEvent(QCloseEvent *event)
{
    if (!m_closeAgreed && !QueryUnload()) {
        m_closeAgreed = false;
        event->ignore();
        return;
    }
    m_closeAgreed = false;
    event->accept();
    m_unloaded = true;
    // Closed: saved, or its changes given up.
    removeJournal();
    if (m_host)
        m_host->documentUnloaded(*this);
}

bool Form_Editer::saveOnClose()
{
    try {
        // Characters Shift-JIS cannot hold are asked about first; declining keeps the window.
        return WritePage(*m_host, *this, m_htmlName);
    } catch (const ZError &e) {
        // The page stays open with its text: closing now would lose the edits.
        ShowSaveError(*m_host->prompts(), e.info());
        return false;
    }
}

bool Form_Editer::needsJournal() const
{
    // An empty new page has nothing to give back.
    const bool empty = RichTextBox1->document()->isEmpty();
    if (EditerFr == OneChange || EditerFr == Modified)
        return m_htmlName != NewFileName || !empty;
    return m_htmlName == NewFileName && !empty;
}

void Form_Editer::updateJournal()
{
    m_journalTimer.stop();
    m_journalDeadline.stop();
    RecoveryJournal *journal = m_host ? m_host->recoveryJournal() : nullptr;
    if (!journal)
        return;
    if (!needsJournal()) {
        removeJournal();
        return;
    }
    if (m_journalId.isEmpty())
        m_journalId = journal->newId();
    // A snapshot that shares the text's pieces; the worker builds and writes the bytes.
    journal->write(m_journalId, m_htmlName, RichTextBox1->TextRTF());
    m_journaled = true;
}

void Form_Editer::adoptJournal(const QString &id)
{
    m_journalId = id;
    m_journaled = true;
}

void Form_Editer::removeJournal()
{
    m_journalTimer.stop();
    m_journalDeadline.stop();
    if (!m_journaled)
        return;
    if (RecoveryJournal *journal = m_host ? m_host->recoveryJournal() : nullptr)
        journal->remove(m_journalId);
    m_journaled = false;
}

QList<Form_Editer *> DocumentWindowsIn(const QMdiArea &area)
{
    QList<Form_Editer *> list;
    for (QMdiSubWindow *sub : area.subWindowList())
        if (auto *doc = qobject_cast<Form_Editer *>(sub->widget()))
            list.append(doc);
    return list;
}
