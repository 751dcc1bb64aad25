#include "documents/OpenDocument.h"

#include "app/MDI_Main.h"
#include "documents/Form_Editer.h"
#include "platform/RichTextBox.h"
#include "platform/StepRunner.h"

#include <QMdiArea>
#include <QMdiSubWindow>

Form_Editer *OpenDocument(MDI_Main &main, const QString &path)
{
    StepRunner steps;
    // 1. The window; its load sets EditerFr to 0.
    auto *doc = new Form_Editer(&main);
    QMdiSubWindow *sub = main.mdiArea->addSubWindow(doc);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    // 2.-3. Caption and name.
    doc->setHtmlName(path);
    // 4. A file that cannot be read leaves the window empty.
    steps.run([&] { doc->RichTextBox1->LoadFile(path); });
    // 5. Shown, it becomes active: the preview follows and the commands are enabled.
    steps.run([&] {
        // A new window takes two thirds of the area, each one set off from the last, so
        // that its text is seen at once and the others stay within reach.
        const QSize area = main.mdiArea->viewport()->size();
        const int offset = 24 * (int(main.mdiArea->subWindowList().size() - 1) % 8);
        sub->setGeometry(offset, offset, qMax(320, area.width() * 2 / 3),
                         qMax(200, area.height() * 2 / 3));
        sub->show();
        main.mdiArea->setActiveSubWindow(sub);
        doc->RichTextBox1->setFocus();
    });
    // 6. Colour its tags.
    steps.run([&] { main.runCommand(QStringLiteral("m_vtag")); });
    // 7.-8.
    steps.run([&] { doc->BuffBuff = doc->RichTextBox1->TextRTF(); });
    doc->EditerFr = 2;
    return doc;
}
