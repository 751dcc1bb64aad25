#pragma once

#include <QStatusBar>

class QLabel;
class QTimer;

// StatusBar1: six panels: browser status, preview size, Num/Caps/Scroll Lock, today's date.
class StatusPanels : public QStatusBar
{
    Q_OBJECT
public:
    explicit StatusPanels(QWidget *parent = nullptr);

    // Panels count from 1.
    QString panelText(int panel) const;
    void setPanelText(int panel, const QString &text);
    QLabel *panel(int panel) const;

    // Reads the lock keys and the date again.
    void refreshIndicators();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void scheduleDateRefresh();
    QLabel *m_panels[6] = {};
    QTimer *m_midnight = nullptr;
};
