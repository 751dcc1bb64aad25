#pragma once

#include <QDialog>

class QCheckBox;
class QPushButton;

// The colour palette "Color Palette": ten colour buttons and a check box. A click on a button
// leaves the colour's notation in GetCol and hides the palette; Esc on a button hides it
// without a choice. Made afresh for every use, so the check box always starts clear.
class Form_ColPal : public QDialog
{
    Q_OBJECT
public:
    static constexpr int ButtonCount = 10;

    explicit Form_ColPal(QWidget *owner);

    // The text chosen by the last colour click; empty until one.
    QString GetCol;

    QPushButton *Command1[ButtonCount] = {};
    QCheckBox *Check1 = nullptr;

    void Command1_Click(int index);
    void Command1_KeyDown(int index, int keyCode);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
