// The main window's own commands, its mouse gestures and file drops.
#include "widgets/Artwork.h"
#include "app/MDI_Main.h"
#include "app/WindowArrangement.h"
#include "documents/OpenCommands.h"
#include "app/StatusPanels.h"
#include "platform/Prompts.h"
#include "platform/StepRunner.h"
#include "widgets/Twips.h"
#include "widgets/WebBrowser.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QToolBar>
#include <QToolButton>

namespace {
const QString cautionText = QStringLiteral(
    "■プレビューウィンドウでは正常に表示出来ない場合があります。\r\n"
    "\r\n"
    "■i-mode文字数は、IEの設定が、\r\n"
    "　　’固定フォントを選択、表示文字サイズを中’\r\n"
    "　　に設定した場合の目安です。");
} // namespace

void MDI_Main::wireBuiltInCommands()
{
    // Check marks flip by themselves; the other Parts read them.
    setHandler(Cmd::m_vtcl, [] {});
    setHandler(Cmd::m_vrpr, [] {});
    auto width = [this](bool eight) {
        action(Cmd::m_vb08)->setChecked(eight);
        action(Cmd::m_vb10)->setChecked(!eight);
        Picture2->setFixedWidth(Twips::toPixels(eight ? 2640 : 3060, this));
        Picture2_Resize();
    };
    setHandler(Cmd::m_vb08, [width] { width(true); });
    setHandler(Cmd::m_vb10, [width] { width(false); });
    setHandler(Cmd::m_vtyui, [this] {
        m_prompts->message(cautionText, Prompt::Buttons::Ok, Prompt::Icon::Information,
                           QStringLiteral("プレビューについて"));
    });
    setHandler(Cmd::m_vpre, [this] {
        setBusyPointer();
        RefreshPreview();
        restorePointer();
    });
    setHandler(Cmd::m_nback, [this] { StepRunner().run([this] { WebBrowser1->GoBack(); }); });
    setHandler(Cmd::m_nnext, [this] { StepRunner().run([this] { WebBrowser1->GoForward(); }); });
    setHandler(Cmd::m_nstop, [this] { StepRunner().run([this] { WebBrowser1->Stop(); }); });
    setHandler(Cmd::m_nrefr, [this] { StepRunner().run([this] { WebBrowser1->Refresh(); }); });
    setHandler(Cmd::m_nhome, [this] { StepRunner().run([this] { WebBrowser1->GoHome(); }); });
    setHandler(Cmd::m_efon, [] {});
    setHandler(Cmd::m_mwin, [this] { toggleWindowSize(); });
    setHandler(Cmd::m_mexit, [this] { close(); });
    setHandler(Cmd::m_wt, [this] { ArrangeTileHorizontal(*this); });
    setHandler(Cmd::m_wy, [this] { ArrangeTileVertical(*this); });
    setHandler(Cmd::m_wc, [this] { ArrangeCascade(*this); });
    connect(WebBrowser1, &WebBrowser::DocumentComplete, this, &MDI_Main::onDocumentComplete);
    connect(WebBrowser1, &WebBrowser::StatusTextChange, this, &MDI_Main::showBrowserStatus);
}

void MDI_Main::toggleWindowSize()
{
    if (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen))
        showNormal();
    else
        showMaximized();
}

void MDI_Main::setBusyPointer() { setCursor(Qt::WaitCursor); }

void MDI_Main::restorePointer() { setCursor(Artwork::customPointer()); }

bool MDI_Main::eventFilter(QObject *watched, QEvent *event)
{
    const auto type = event->type();
    // Events arrive while the window is still being built.
    if (!Combo1 || !Toolbar2 || !mdiArea || !StatusBar1 || !WebBrowser1)
        return QMainWindow::eventFilter(watched, event);
    if (watched == Picture2 && type == QEvent::Resize) {
        Picture2_Resize();
    } else if (watched == Picture1 && type == QEvent::Resize) {
        Picture1_Resize();
    } else if ((watched == Combo1 || watched == Combo1->lineEdit()) &&
               (type == QEvent::FocusIn || type == QEvent::FocusOut)) {
        QPalette pal = Combo1->lineEdit()->palette();
        pal.setColor(QPalette::Base, QApplication::palette().color(
                                         type == QEvent::FocusIn ? QPalette::Base : QPalette::Button));
        Combo1->lineEdit()->setPalette(pal);
    } else if ((watched == Combo1 || watched == Combo1->lineEdit()) && type == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            WebBrowser1->Navigate(Combo1->currentText());
            return true;
        }
    } else if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        const bool onBar1 = watched == Toolbar1 || (watched->parent() == Toolbar1 &&
                                                    qobject_cast<QToolButton *>(watched));
        const bool onStatus = watched == StatusBar1;
        if (type == QEvent::MouseButtonPress && mouse->button() == Qt::RightButton) {
            QMenu *popup = nullptr;
            if (onBar1 || onStatus)
                popup = menu("m_menu");
            else if (watched == Toolbar2)
                popup = menu("m_view");
            else if (watched == mdiArea->viewport())
                popup = menu("m_win");
            if (popup) {
                popup->popup(mouse->globalPosition().toPoint());
                return true;
            }
        } else if (type == QEvent::MouseButtonDblClick && mouse->button() == Qt::LeftButton &&
                   (watched == Toolbar1 || onStatus)) {
            runCommand(Cmd::m_mwin);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MDI_Main::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void MDI_Main::dropEvent(QDropEvent *event)
{
    QStringList paths;
    for (const QUrl &url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    OpenDroppedFiles(*this, paths);
}
