#include "app/StatusPanels.h"

#include "widgets/LockKeys.h"
#include "widgets/Twips.h"

#include <QApplication>
#include <QDateTime>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QTimer>

StatusPanels::StatusPanels(QWidget *parent) : QStatusBar(parent)
{
    setObjectName("StatusBar1");
    setSizeGripEnabled(true);
    setFixedHeight(Twips::toPixels(375, this));
    static const int widths[6] = {8440, 1764, 1411, 1411, 1411, 1764};
    for (int i = 0; i < 6; ++i) {
        auto *label = new QLabel(this);
        label->setObjectName(QStringLiteral("StatusBar1_Panel%1").arg(i + 1));
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setMinimumWidth(Twips::toPixels(i == 0 ? 2540 : widths[i], this));
        if (i == 0) {
            label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
            addWidget(label, 1);
        } else {
            label->setAlignment(Qt::AlignCenter);
            label->setFixedWidth(Twips::toPixels(widths[i], this));
            addPermanentWidget(label);
        }
        m_panels[i] = label;
    }
    m_panels[1]->setText(QStringLiteral("File Size"));
    // Lock keys change with key presses anywhere in the program.
    qApp->installEventFilter(this);
    m_midnight = new QTimer(this);
    m_midnight->setSingleShot(true);
    connect(m_midnight, &QTimer::timeout, this, [this] {
        refreshIndicators();
        scheduleDateRefresh();
    });
    refreshIndicators();
    scheduleDateRefresh();
}

QLabel *StatusPanels::panel(int panel) const
{
    return panel >= 1 && panel <= 6 ? m_panels[panel - 1] : nullptr;
}

QString StatusPanels::panelText(int panel) const
{
    auto *label = this->panel(panel);
    return label ? label->text() : QString();
}

void StatusPanels::setPanelText(int panel, const QString &text)
{
    if (auto *label = this->panel(panel)) {
        label->setText(text);
        // The first panel cuts a long notice (a folder's path) off; its tip holds it whole.
        if (panel == 1)
            label->setToolTip(text);
    }
}

void StatusPanels::refreshIndicators()
{
    const LockKeyState keys = readLockKeys();
    m_panels[2]->setText(keys.num ? QStringLiteral("NUM") : QString());
    m_panels[3]->setText(keys.caps ? QStringLiteral("CAPS") : QString());
    m_panels[4]->setText(keys.scroll ? QStringLiteral("SCRL") : QString());
    m_panels[5]->setText(QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
}

void StatusPanels::scheduleDateRefresh()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime midnight(now.date().addDays(1), QTime(0, 0, 1));
    m_midnight->start(static_cast<int>(qMin<qint64>(now.msecsTo(midnight), 3600 * 1000)));
}

bool StatusPanels::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ApplicationActivate) {
        refreshIndicators();
    } else if (event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_NumLock || key == Qt::Key_CapsLock || key == Qt::Key_ScrollLock)
            refreshIndicators();
    }
    return QStatusBar::eventFilter(watched, event);
}
