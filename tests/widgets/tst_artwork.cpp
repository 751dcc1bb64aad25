#include "widgets/Artwork.h"

#include <QBitmap>
#include <QDir>
#include <QPainter>
#include <QSet>
#include <QtTest>

namespace {

int opaquePixels(const QImage &image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    int count = 0;
    for (int y = 0; y < argb.height(); ++y) {
        for (int x = 0; x < argb.width(); ++x) {
            if (qAlpha(argb.pixel(x, y)) > 128)
                ++count;
        }
    }
    return count;
}

QImage iconImage(const QIcon &icon, int size)
{
    return icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class TestArtwork : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyKeyHasItsOwnPicture_data();
    void everyKeyHasItsOwnPicture();
    void picturesDifferBetweenKeys();
    void unknownKeyGetsGenericPicture();
    void iconsCarryBothSizes();
    void appIconHasEverySize();
    void pointerIsMonochrome32WithHotSpotTopLeft();
};

// With ZEMLO_ARTWORK_DUMP=<folder> every picture is also written there as PNG, to be looked at.
void TestArtwork::initTestCase()
{
    const QString folder = qEnvironmentVariable("ZEMLO_ARTWORK_DUMP");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    const QDir dir(folder);
    const QStringList keys = Artwork::buttonKeys() << "unknown";
    for (const QString &key : keys) {
        for (int size : {16, 24})
            Artwork::buttonImage(key, size).save(
                dir.filePath(QString("%1_%2.png").arg(key).arg(size)));
    }
    for (int size : {16, 32, 48, 64, 128, 256})
        Artwork::appImage(size).save(dir.filePath(QString("app_%1.png").arg(size)));
    Artwork::appImage(256).save(dir.filePath("zemlo.png"));

    // The pointer as it shows: black edge, white fill, transparent elsewhere.
    const QCursor cursor = Artwork::customPointer();
    const QImage bits = cursor.bitmap().toImage();
    const QImage mask = cursor.mask().toImage();
    QImage shown(32, 32, QImage::Format_ARGB32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const bool opaque = mask.pixelIndex(x, y) == 1;
            const bool black = bits.pixelIndex(x, y) == 1;
            shown.setPixel(x, y,
                           !opaque ? qRgba(0, 0, 0, 0)
                           : black ? qRgb(0, 0, 0)
                                   : qRgb(255, 255, 255));
        }
    }
    shown.scaled(256, 256).save(dir.filePath("pointer.png"));
}

void TestArtwork::everyKeyHasItsOwnPicture_data()
{
    QTest::addColumn<QString>("key");
    for (const QString &key : Artwork::buttonKeys())
        QTest::newRow(qPrintable(key)) << key;
}

void TestArtwork::everyKeyHasItsOwnPicture()
{
    QFETCH(QString, key);
    const QIcon icon = Artwork::buttonIcon(key);
    QVERIFY(!icon.isNull());
    const QImage image = iconImage(icon, 16);
    QCOMPARE(image.size(), QSize(16, 16));
    QVERIFY2(opaquePixels(image) >= 12, "too little drawn at 16 px");
    QVERIFY2(image != iconImage(Artwork::buttonIcon("no such key"), 16),
             "the key falls back to the generic picture");
}

void TestArtwork::picturesDifferBetweenKeys()
{
    const QStringList keys = Artwork::buttonKeys();
    QCOMPARE(QSet<QString>(keys.begin(), keys.end()).size(), keys.size());
    for (int i = 0; i < keys.size(); ++i) {
        for (int j = i + 1; j < keys.size(); ++j) {
            QVERIFY2(Artwork::buttonImage(keys[i], 16) != Artwork::buttonImage(keys[j], 16),
                     qPrintable(keys[i] + " looks like " + keys[j]));
        }
    }
}

void TestArtwork::unknownKeyGetsGenericPicture()
{
    const QIcon icon = Artwork::buttonIcon("t_nothing");
    QVERIFY(!icon.isNull());
    QVERIFY(opaquePixels(iconImage(icon, 16)) > 0);
}

void TestArtwork::iconsCarryBothSizes()
{
    const QList<QSize> sizes = Artwork::buttonIcon("t_open").availableSizes();
    QVERIFY(sizes.contains(QSize(16, 16)));
    QVERIFY(sizes.contains(QSize(24, 24)));
    // The larger size is painted for itself, not blown up from the smaller one.
    const QImage large = iconImage(Artwork::buttonIcon("t_open"), 24);
    QCOMPARE(large, Artwork::buttonImage("t_open", 24).convertToFormat(QImage::Format_ARGB32));
}

void TestArtwork::appIconHasEverySize()
{
    const QIcon icon = Artwork::appIcon();
    QVERIFY(!icon.isNull());
    const QList<QSize> sizes = icon.availableSizes();
    for (int size : {16, 32, 48, 64, 128, 256}) {
        QVERIFY2(sizes.contains(QSize(size, size)), qPrintable(QString::number(size)));
        QVERIFY(opaquePixels(iconImage(icon, size)) > size * size / 4);
    }
}

void TestArtwork::pointerIsMonochrome32WithHotSpotTopLeft()
{
    const QCursor cursor = Artwork::customPointer();
    QCOMPARE(cursor.shape(), Qt::BitmapCursor);
    QCOMPARE(cursor.hotSpot(), QPoint(0, 0));
    const QBitmap bits = cursor.bitmap();
    const QBitmap mask = cursor.mask();
    QCOMPARE(bits.size(), QSize(32, 32));
    QCOMPARE(mask.size(), QSize(32, 32));

    const QImage m = mask.toImage();
    const QImage b = bits.toImage();
    // The hot spot is on the visible tip of the arrow, drawn black.
    QCOMPARE(m.pixelIndex(0, 0), 1);
    QCOMPARE(b.pixelIndex(0, 0), 1);
    // The far corner is transparent, and the shape has a white inside.
    QCOMPARE(m.pixelIndex(31, 31), 0);
    int white = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            if (m.pixelIndex(x, y) == 1 && b.pixelIndex(x, y) == 0)
                ++white;
        }
    }
    QVERIFY(white > 20);
}

QTEST_MAIN(TestArtwork)
#include "tst_artwork.moc"
