#include "text/PieceText.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {
// Pieces are never empty, stay near their size, and never part a surrogate pair.
QString shapeFault(const PieceText &text)
{
    const QList<QString> &pieces = text.pieces();
    qsizetype total = 0;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const QString &piece = pieces.at(i);
        total += piece.size();
        if (piece.isEmpty())
            return QString("empty piece %1").arg(i);
        if (piece.size() > 2 * PieceText::PieceSize + 1)
            return QString("piece %1 of %2").arg(i).arg(piece.size());
        if (i + 1 < pieces.size() && piece.back().isHighSurrogate() &&
            pieces.at(i + 1).front().isLowSurrogate())
            return QString("pair parted after piece %1").arg(i);
    }
    return total == text.size() ? QString() : QString("size %1 of %2").arg(text.size()).arg(total);
}
} // namespace

class TestPieceText : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void randomEditsMatchAPlainString()
    {
        QRandomGenerator random(4096);
        const QString pair = QString(QChar(0xD83D)) + QChar(0xDE00);
        const QStringList inserts = {"a", "\n", pair, QString(QChar(0xD83D)), QString(QChar(0xDE00)),
                                     QString(3000, 'x'), QString(9000, 'y'), "<p>", ""};
        QString model;
        PieceText text;
        for (int step = 0; step < 3000; ++step) {
            const qsizetype position = random.bounded(model.size() + 1);
            const qsizetype removed =
                random.bounded(4) == 0 ? random.bounded(model.size() - position + 1)
                                       : qMin<qsizetype>(random.bounded(3), model.size() - position);
            const QString inserted = inserts.at(random.bounded(inserts.size()));
            QVERIFY(text.replace(position, removed, inserted));
            model.replace(position, removed, inserted);
            QCOMPARE(text.size(), model.size());
            const QString fault = shapeFault(text);
            QVERIFY2(fault.isEmpty(), qPrintable(fault));
            if (step % 50 == 0)
                QCOMPARE(text.toString(), model);
            // Keep the text from growing without bound.
            if (model.size() > 200000) {
                QVERIFY(text.replace(0, model.size() / 2, QString()));
                model.remove(0, model.size() / 2);
            }
        }
        QCOMPARE(text.toString(), model);
        QVERIFY(text == model);
    }

    void rangesOutsideTheTextChangeNothing()
    {
        PieceText text(QString("abc"));
        QVERIFY(!text.replace(2, 2, u"x"));
        QVERIFY(!text.replace(-1, 0, u"x"));
        QVERIFY(!text.replace(4, 0, u"x"));
        QCOMPARE(text.toString(), QString("abc"));
        QVERIFY(text.replace(3, 0, u"d"));
        QVERIFY(text.replace(0, 4, u""));
        QVERIFY(text.isEmpty());
        QVERIFY(text.pieces().isEmpty());
    }

    void editsAtAPieceEdgeKeepPairsWhole()
    {
        // The first piece ends with a high surrogate whose partner comes after one character;
        // removing that character, or adding the partner, joins them across the edge.
        const QChar high(0xD83D), low(0xDE00);
        const QString head = QString(PieceText::PieceSize - 1, 'a') + high;
        for (int edit = 0; edit < 3; ++edit) {
            PieceText text(head + 'X' + low + QString(2 * PieceText::PieceSize, 'b'));
            QCOMPARE(text.pieces().first(), head);
            QString model = text.toString();
            const qsizetype at = head.size();
            if (edit == 0) {
                QVERIFY(text.replace(at, 1, u""));
                model.remove(at, 1);
            } else if (edit == 1) {
                QVERIFY(text.replace(at, 2, QString(low)));
                model.replace(at, 2, QString(low));
            } else {
                QVERIFY(text.replace(at, 0, QString(low)));
                model.insert(at, low);
            }
            QCOMPARE(text.toString(), model);
            const QString fault = shapeFault(text);
            QVERIFY2(fault.isEmpty(), qPrintable(fault));
        }
    }

    void aCopyKeepsItsTextAndSharesAllButTheChangedPiece()
    {
        // An undo image is a copy: editing the text afterwards must leave the image as it was,
        // and copy no more than the piece the edit falls in.
        QString page;
        for (int i = 0; i < 5000; ++i)
            page += QString("<p>line %1</p>\n").arg(i);
        PieceText text(page);
        QVERIFY(text.pieces().size() > 10);
        const PieceText image = text;
        QVERIFY(text.replace(page.size() / 2, 1, u"XYZ"));
        QCOMPARE(image.toString(), page);
        QVERIFY(!(image == text));
        qsizetype shared = 0;
        for (const QString &piece : text.pieces())
            for (const QString &old : image.pieces())
                shared += piece.isSharedWith(old) ? 1 : 0;
        QCOMPARE(shared, text.pieces().size() - 1);
    }

    void equalityIgnoresWhereThePiecesEnd()
    {
        const QString page(3 * PieceText::PieceSize + 17, 'q');
        // The same text, its first piece shortened from the front.
        PieceText built(QString(100, 'p') + page);
        QVERIFY(built.replace(0, 100, u""));
        const PieceText whole(page);
        QVERIFY(built.pieces().first().size() != whole.pieces().first().size());
        QVERIFY(built == whole);
        QVERIFY(built == page);
        QVERIFY(!(built == QString(page).replace(5000, 1, "r")));
        QVERIFY(!(built == page.left(page.size() - 1)));
    }
};

QTEST_GUILESS_MAIN(TestPieceText)
#include "tst_piecetext.moc"
