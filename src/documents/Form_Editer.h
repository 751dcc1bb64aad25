#pragma once

#include "platform/RichImage.h"

#include <QWidget>

class QLabel;
class MDI_Main;
class RichTextBox;

// A document window: one open page, its file name, its edit state and its one undo image.
class Form_Editer : public QWidget
{
    Q_OBJECT
public:
    static const QString NewFileName; // "新しいファイル"

    explicit Form_Editer(MDI_Main *main, QWidget *parent = nullptr);
    ~Form_Editer() override;

    // The file's full path, or "新しいファイル"; the caption always shows the same.
    const QString &HtmlName() const { return m_htmlName; }
    void setHtmlName(const QString &name);

    // 0 created, 1 one change seen or a template loaded, 2 unmodified, 3 modified.
    int EditerFr = 0;
    RichImage UndoBuff;
    RichImage BuffBuff;

    RichTextBox *RichTextBox1;
    QLabel *Label1;

    bool isModified() const { return EditerFr >= 3; }
    MDI_Main *mainWindow() const { return m_main; }

    // The close request: asks about a modified page; false when the close is refused.
    bool QueryUnload();
    // Marks that the close request was already answered for this closing.
    void setCloseAgreed(bool agreed) { m_closeAgreed = agreed; }

    // Runs when the window becomes the active document window.
    void Activate();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void RichTextBox1_Change();
    bool RichTextBox1_KeyPress(QChar ch);
    bool saveOnClose();

    MDI_Main *m_main;
    QString m_htmlName;
    bool m_closeAgreed = false;
    bool m_unloaded = false;
};
