// The real file dialog, driven by the keys a user presses: the name typed is the file chosen,
// whatever characters it holds.
#include "widgets/QtPrompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

class TestFileDialog : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void theNameTypedIsTheFileChosen_data()
    {
        QTest::addColumn<bool>("save");
        QTest::addColumn<QString>("proposed"); // the name the dialog opens with
        QTest::addColumn<QString>("typed");    // over it; empty: the proposed name is kept
        QTest::addColumn<QString>("there");    // a file in the folder
        QTest::addColumn<QString>("chosen");
        QTest::newRow("save, plain") << true << "page.html" << "plain" << "" << "plain.html";
        QTest::newRow("save, a quote")
            << true << "page.html" << "a\"b.html" << "" << "a\"b.html";
        QTest::newRow("save, a quote, no extension")
            << true << "" << "q\"uote" << "" << "q\"uote.html";
        QTest::newRow("save, quoted names")
            << true << "" << "\"x\" \"y\"" << "" << "\"x\" \"y\".html";
        QTest::newRow("save, the proposed name with a quote")
            << true << "a\"b-utf8.html" << "" << "" << "a\"b-utf8.html";
        QTest::newRow("save, the name inside the quotes is there")
            << true << "" << "a\"b.html" << "b.html" << "a\"b.html";
        QTest::newRow("save over it: asked, then replaced")
            << true << "" << "a\"b.html" << "a\"b.html" << "a\"b.html";
        QTest::newRow("open, a quote")
            << false << "" << "a\"b.html" << "a\"b.html" << "a\"b.html";
    }
    void theNameTypedIsTheFileChosen()
    {
        QFETCH(bool, save);
        QFETCH(QString, proposed);
        QFETCH(QString, typed);
        QFETCH(QString, there);
        QFETCH(QString, chosen);
        QTemporaryDir dir;
        if (!there.isEmpty()) {
            QFile file(dir.filePath(there));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        FileDialogRequest request;
        request.kind = save ? FileDialogKind::Save : FileDialogKind::Open;
        request.nameFilters = QStringList{"HTML,HTM (*.html *.htm)", "*.* (*)"};
        request.initialFolder = dir.path();
        request.fileName = proposed.isEmpty() ? QString() : dir.filePath(proposed);
        request.defaultSuffix = "html";
        request.overwritePrompt = true;

        // The user's keys while the dialog is up: the name, then Enter until it closes (a list
        // of names that complete it may take the first); a question to replace is answered yes.
        int questions = 0, ticks = 0;
        bool typedIn = false;
        QTimer keys;
        keys.setInterval(20);
        connect(&keys, &QTimer::timeout, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                ++questions;
                if (QAbstractButton *yes = box->button(QMessageBox::Yes))
                    QTest::mouseClick(yes, Qt::LeftButton);
                else
                    box->reject();
            } else if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
                auto *edit = dialog->findChild<QLineEdit *>("fileNameEdit");
                if (!edit || ++ticks > 50) {
                    dialog->reject();
                } else if (!edit->hasFocus()) {
                    // Where the user types: a name there is not rewritten by the list's choice.
                    dialog->activateWindow();
                    edit->setFocus();
                } else if (!typedIn) {
                    typedIn = true;
                    if (!typed.isEmpty()) {
                        edit->selectAll();
                        QTest::keyClicks(edit, typed);
                    }
                } else {
                    // Enter to save, the 開く button to open: the button must take the name too.
                    // Queued: a question it raises must find the timer free to answer it.
                    QPushButton *open = dialog->findChild<QDialogButtonBox *>()->button(
                        QDialogButtonBox::Open);
                    QMetaObject::invokeMethod(
                        edit,
                        [edit, open, save] {
                            if (save)
                                QTest::keyClick(edit, Qt::Key_Return);
                            else
                                QTest::mouseClick(open, Qt::LeftButton);
                        },
                        Qt::QueuedConnection);
                }
            }
        });
        keys.start();
        QtPrompts prompts;
        const std::optional<QString> result = prompts.file(request);
        QCOMPARE(result.value_or("<cancelled>"), dir.filePath(chosen));
        QCOMPARE(questions, save && there == chosen ? 1 : 0);
    }
};

QTEST_MAIN(TestFileDialog)
#include "tst_filedialog.moc"
