#include "FakeHost.h"

#include "documents/Form_Editer.h"
#include "documents/OpenDocument.h"

#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QVBoxLayout>
#include <QWidget>

FakeHost::FakeHost() : m_dialog(&script), m_window(std::make_unique<QWidget>())
{
    m_window->resize(800, 600);
    m_area = new QMdiArea(m_window.get());
    auto *layout = new QVBoxLayout(m_window.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_area);
    m_window->show();
}

FakeHost::~FakeHost()
{
    // Documents go first, while this host still answers their unload.
    for (QMdiSubWindow *sub : m_area->subWindowList())
        delete sub;
}

Form_Editer *FakeHost::activeDocument() const
{
    QMdiSubWindow *sub = m_area->currentSubWindow();
    return sub ? qobject_cast<Form_Editer *>(sub->widget()) : nullptr;
}

QList<Form_Editer *> FakeHost::documents() const
{
    return DocumentWindowsIn(*m_area);
}

void FakeHost::addDocumentWindow(Form_Editer *doc)
{
    QMdiSubWindow *sub = m_area->addSubWindow(doc);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(doc->HtmlName());
    sub->show();
    m_area->setActiveSubWindow(sub);
    doc->Activate();
}

void FakeHost::runCommand(Command item)
{
    ran << item.toString();
    if (auto handler = m_handlers.value(item.toString()))
        handler();
}

void FakeHost::setHandler(Command item, std::function<void()> handler)
{
    m_handlers.insert(item.toString(), std::move(handler));
}

void FakeHost::setChecked(Command item, bool on)
{
    if (on)
        checked.insert(item.toString());
    else
        checked.remove(item.toString());
}

Form_Editer *FakeHost::openPage(const QString &name, const QByteArray &bytes)
{
    const QString path = m_folder.path() + QLatin1Char('/') + name;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
    file.close();
    return OpenDocument(*this, path);
}

void FakeHost::closeAll()
{
    for (QMdiSubWindow *sub : m_area->subWindowList()) {
        if (auto *doc = qobject_cast<Form_Editer *>(sub->widget()))
            doc->setCloseAgreed(true);
        sub->close();
    }
}
