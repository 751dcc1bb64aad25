#include "tools/Form_ColPal.h"

#include "widgets/Artwork.h"
#include "widgets/RichTextBox.h"
#include "widgets/Twips.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QPushButton>

namespace {

struct PaletteColor
{
    const char *text; // red, green, blue as six upper-case hexadecimal digits
    quint32 face;     // 0x00BBGGRR
};

constexpr PaletteColor Colors[Form_ColPal::ButtonCount] = {
    {"FF0000", 0x0000FF}, {"FF8000", 0x0080FF}, {"FFFF00", 0x00FFFF}, {"00FF00", 0x00FF00},
    {"00FFFF", 0xFFFF00}, {"0000FF", 0xFF0000}, {"FF00FF", 0xFF00FF}, {"FFFFFF", 0xFFFFFF},
    {"808080", 0x808080}, {"000000", 0x000000}};

// Lengths of the window's design, in twips.
constexpr int ClientWidth = 2385;
constexpr int ClientHeight = 4275;
constexpr int Left = 180;
constexpr int ControlWidth = 1995;
constexpr int ControlHeight = 315;
constexpr int FirstTop = 180;
constexpr int Pitch = 360;
constexpr int CheckTop = 3840;

constexpr int EscapeKeyCode = 27;

QString faceStyle(quint32 face)
{
    // A face of plain colour; the focused button shows a thicker frame.
    const QString colour = RichTextBox::resolveColor(face).name();
    return QStringLiteral("QPushButton { background-color: %1; border: 1px solid #808080; }"
                          "QPushButton:focus { border: 2px solid #000080; }"
                          "QPushButton:pressed { border: 2px inset #404040; }")
        .arg(colour);
}

} // namespace

Form_ColPal::Form_ColPal(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName("Form_ColPal");
    setWindowTitle(QStringLiteral("Color Palette"));
    setModal(true);
    setFixedSize(Twips::toPixels(ClientWidth, this), Twips::toPixels(ClientHeight, this));
    // Created in tab order: the buttons from the top, then the check box.
    for (int i = 0; i < ButtonCount; ++i) {
        QPushButton *button = new QPushButton(this);
        button->setObjectName(QStringLiteral("Command1_%1").arg(i));
        // The colour's text belongs to the button; nothing is drawn on its face.
        button->setAccessibleName(QString::fromLatin1(Colors[i].text));
        button->setStyleSheet(faceStyle(Colors[i].face));
        button->setAutoDefault(false);
        button->setGeometry(
            Twips::toPixels(Left, this), Twips::toPixels(FirstTop + Pitch * i, this),
            Twips::toPixels(ControlWidth, this), Twips::toPixels(ControlHeight, this));
        button->setCursor(Artwork::pointingHand());
        button->installEventFilter(this);
        connect(button, &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
        Command1[i] = button;
    }
    Check1 = new QCheckBox(QStringLiteral("同時にTAGを育成(&T)"), this);
    Check1->setObjectName("Check1");
    Check1->setGeometry(Twips::toPixels(Left, this), Twips::toPixels(CheckTop, this),
                        Twips::toPixels(ControlWidth, this), Twips::toPixels(ControlHeight, this));
    Check1->setCursor(Artwork::pointingHand());
    GetCol.clear();
}

void Form_ColPal::Command1_Click(int index)
{
    const QString text = Command1[index]->accessibleName();
    if (Check1->isChecked())
        GetCol = QStringLiteral("<FONT COLOR=#") + text + u'>';
    else
        GetCol = u'#' + text;
    hide();
}

void Form_ColPal::Command1_KeyDown(int index, int keyCode)
{
    Q_UNUSED(index);
    if (keyCode == EscapeKeyCode)
        hide();
}

bool Form_ColPal::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        for (int i = 0; i < ButtonCount; ++i) {
            if (watched != Command1[i])
                continue;
            if (static_cast<QKeyEvent *>(event)->key() != Qt::Key_Escape)
                return false;
            Command1_KeyDown(i, EscapeKeyCode);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
