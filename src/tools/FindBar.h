#pragma once

#include "tools/TextSearch.h"

#include <QWidget>

class DocumentHost;
class Form_Editer;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The find bar under a document's text: searches as the user types, steps to the next or the
// previous match, and with its second row replaces one match or all of them.
class FindBar : public QWidget
{
    Q_OBJECT
public:
    FindBar(DocumentHost &host, Form_Editer &doc);

    // The document's bar, made on first use.
    static FindBar &of(DocumentHost &host, Form_Editer &doc);
    // What was last looked for in this run of the program, in any document.
    static QString lastSearch();

    // Shows the bar, with the replace row or without, the find field focused and filled from
    // a selection within one line.
    void open(bool withReplace);
    // Closes the bar; the keyboard goes back to the text.
    void closeBar();
    // Selects the next (or previous) match of the find field's text, going on from the other
    // end of the page at its end. False when there is none.
    bool findAgain(bool backward);
    // Replaces the selection when it is a match, then selects the next match.
    void replaceOne();
    // Replaces every match as one undoable step; returns how many.
    int replaceAll();

    QLineEdit *findField = nullptr;
    QLineEdit *replaceField = nullptr;
    QCheckBox *matchCase = nullptr;
    QCheckBox *ignoreWidth = nullptr;
    QPushButton *nextButton = nullptr;
    QPushButton *previousButton = nullptr;
    QPushButton *replaceButton = nullptr;
    QPushButton *replaceAllButton = nullptr;
    QPushButton *closeButton = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    SearchOptions options() const;
    TextSearch search() const;
    void findAsTyped();
    void select(const TextMatch &match);
    // The field's colour and the status-bar notice for a search that found something or not.
    void showFound(bool found);
    void remember();

    DocumentHost &m_host;
    Form_Editer &m_doc;
    // The second row: its label, the replacement field and the row of its buttons.
    QLabel *m_replaceLabel = nullptr;
    QWidget *m_replaceRow = nullptr;
};
