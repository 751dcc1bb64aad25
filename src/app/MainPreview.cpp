// The preview pane: the preview file, the browser's size and the address box.
#include "app/MDI_Main.h"
#include "app/Settings.h"
#include "documents/SizeText.h"
#include "app/StatusPanels.h"
#include "documents/Form_Editer.h"
#include "fsservice/ClsFSO.h"
#include "widgets/RichTextBox.h"
#include "platform/StepRunner.h"
#include "widgets/Twips.h"
#include "widgets/WebBrowser.h"

#include <QComboBox>
#include <QDir>
#include <QToolBar>

void MDI_Main::RefreshPreview()
{
    const QString path = ProgramFiles::preview(m_programFolder);
    StepRunner steps;
    steps.run([&] {
        Form_Editer *doc = activeDocument();
        if (!doc)
            throw ZError(ZErr::InvalidCall);
        doc->RichTextBox1->SavePreviewFile(path);
    });
    steps.run([&] {
        // The page is shown under its own address, so that its images, links, frames and
        // style sheets are found beside it as on its server; a page without a file, under the
        // preview file's.
        if (Form_Editer *doc = activeDocument()) {
            const QString name = doc->HtmlName();
            const bool ownFile = name != Form_Editer::NewFileName && QDir::isAbsolutePath(name);
            WebBrowser1->setPreviewAddress(path, ownFile ? name : QString());
        }
        WebBrowser1->Navigate(path);
    });
    double kilobytes = 0;
    steps.run([&] {
        ClsFSO fso(m_prompts);
        fso.ShowDialog = false;
        fso.InfoFile(path);
        kilobytes = fso.filSize;
    });
    StatusBar1->setPanelText(2, SizeText(kilobytes) + QStringLiteral(" KB"));
}

void MDI_Main::Picture2_Resize()
{
    const int inner = Picture2->width();
    const int innerHeight = Picture2->height();
    const int margin = Twips::toPixels(30, this);
    const int barHeight = Toolbar2->height();
    StepRunner steps;
    steps.run([&] {
        const int w = inner - margin;
        const int h = innerHeight - barHeight;
        // A pane too small for the browser leaves it where it was.
        if (w < 0 || h < 0)
            throw ZError(ZErr::InvalidCall);
        WebBrowser1->setGeometry(0, barHeight, w, h);
    });
    steps.run([&] { Toolbar2->setFixedWidth(inner); });
    steps.run([&] { WebBrowser1->Refresh(); });
    steps.run([&] { Toolbar2->setFixedWidth(WebBrowser1->width()); });
}

void MDI_Main::Picture1_Resize()
{
    Picture1->update();
    Combo1->setGeometry(0, 0, Picture1->width(), Picture1->height());
}

void MDI_Main::onDocumentComplete(const QString &address)
{
    // Refreshing the preview never touches the address box.
    if (address == ProgramFiles::preview(m_programFolder))
        return;
    for (int i = 0; i < Combo1->count(); ++i)
        if (Combo1->itemText(i) == address)
            return;
    Combo1->insertItem(0, address);
    Combo1->setEditText(address);
}
