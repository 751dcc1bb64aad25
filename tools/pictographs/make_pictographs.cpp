// Draws the pictograph images and writes the picker's list, from pictographs.csv.
//
//   make_pictographs <pictographs.csv> <output folder> [size [pictographs-carriers.csv]]
//
// Writes <decimal>.png for every row (size x size pixels, default 20) and ImageList.txt, the
// list file in UTF-8 with CR LF line ends; make_pictographs.sh turns these into GIFs and a
// code page 932 list. Given the carriers' table too, it also draws every pictograph of that
// table that the basic list lacks (DoCoMo's extended ones and au's), in the same way.
// Pictographs with a standard emoji are drawn from the Noto Color Emoji font; the few without
// one are drawn here.

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QSet>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>

namespace {

constexpr int Canvas = 160; // everything is drawn large, then scaled down smoothly
const char *const EmojiFamily = "Noto Color Emoji";
const char *const LetterFamily = "DejaVu Sans";

struct Row
{
    QString code;    // decimal
    QString sjisHex; // F89F
    QList<char32_t> unicode;
    QString nameJa;
    QString nameEn;
};

[[noreturn]] void fail(const QString &message)
{
    std::fprintf(stderr, "make_pictographs: %s\n", qPrintable(message));
    std::exit(1);
}

QStringList splitCsvLine(const QString &line)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    for (int i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields << field;
            field.clear();
        } else {
            field += c;
        }
    }
    fields << field;
    return fields;
}

QList<Row> readTable(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        fail("cannot read " + path);
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);
    const QStringList header = splitCsvLine(in.readLine());
    const QStringList expected{"sjis_hex", "decimal", "docomo_pua",
                               "unicode",  "name_ja", "name_en"};
    if (header != expected)
        fail("unexpected columns in " + path);
    QList<Row> rows;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (line.trimmed().isEmpty())
            continue;
        const QStringList f = splitCsvLine(line);
        if (f.size() != 6)
            fail("bad row: " + line);
        Row row{f[1], f[0], {}, f[4], f[5]};
        for (const QString &cp : f[3].split(' ', Qt::SkipEmptyParts)) {
            bool ok = false;
            row.unicode << char32_t(cp.mid(2).toUInt(&ok, 16));
            if (!cp.startsWith("U+") || !ok)
                fail("bad code point " + cp);
        }
        rows << row;
    }
    return rows;
}

// The carriers' table: carrier,sjis_hex,decimal,pua,unicode,name_ja,name_en,carrier_pua,number.
QList<Row> readCarriersTable(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        fail("cannot read " + path);
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);
    const QStringList expected{"carrier", "sjis_hex", "decimal",     "pua",   "unicode",
                               "name_ja", "name_en",  "carrier_pua", "number"};
    if (splitCsvLine(in.readLine()) != expected)
        fail("unexpected columns in " + path);
    QList<Row> rows;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (line.trimmed().isEmpty())
            continue;
        const QStringList f = splitCsvLine(line);
        if (f.size() != 9)
            fail("bad row: " + line);
        Row row{f[2], f[1], {}, f[5], f[6]};
        for (const QString &cp : f[4].split(' ', Qt::SkipEmptyParts)) {
            bool ok = false;
            row.unicode << char32_t(cp.mid(2).toUInt(&ok, 16));
            if (!cp.startsWith("U+") || !ok)
                fail("bad code point " + cp);
        }
        rows << row;
    }
    return rows;
}

// The English names go into a code page 932 file: letters with accents lose them (Café).
QString plainLatin(const QString &text)
{
    QString out;
    for (const QChar c : text.normalized(QString::NormalizationForm_D)) {
        if (c.category() != QChar::Mark_NonSpacing)
            out += c;
    }
    return out;
}

QString listField(const QString &text)
{
    if (text.contains(',') || text.contains('"') || text.startsWith(' ')) {
        QString quoted = text;
        quoted.replace("\"", "\"\"");
        return '"' + quoted + '"';
    }
    return text;
}

// The emoji as text; keycaps and symbols that default to text style get the emoji selector.
QString emojiText(const QList<char32_t> &sequence)
{
    QList<char32_t> cps = sequence;
    if (!cps.contains(0xFE0F))
        cps.insert(1, 0xFE0F);
    return QString::fromUcs4(cps.constData(), cps.size());
}

bool isBlank(const Row &row)
{
    for (char32_t cp : row.unicode) {
        if (!QChar::isSpace(cp))
            return false;
    }
    return !row.unicode.isEmpty();
}

QImage canvas()
{
    QImage image(Canvas, Canvas, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QImage drawEmoji(const Row &row)
{
    QFont font(EmojiFamily);
    font.setStyleStrategy(QFont::NoFontMerging);
    font.setPixelSize(Canvas * 3 / 4);
    const QRawFont raw = QRawFont::fromFont(font);
    if (raw.familyName() != EmojiFamily)
        fail(QString("the font %1 is not installed").arg(EmojiFamily));
    for (char32_t cp : row.unicode) {
        if (cp != 0x20E3 && cp != 0xFE0F && !raw.supportsCharacter(cp))
            fail(QString("%1: U+%2 is not in %3")
                     .arg(row.code)
                     .arg(uint(cp), 4, 16)
                     .arg(EmojiFamily));
    }
    QImage image = canvas();
    QPainter p(&image);
    p.setFont(font);
    p.drawText(image.rect(), Qt::AlignCenter, emojiText(row.unicode));
    return image;
}

// Pictures for the pictographs that have no standard emoji. Drawn on the canvas in units of
// Canvas / 20, the final pixel grid.
using Drawing = std::function<void(QPainter &)>;

void letters(QPainter &p, const QRectF &r, const QString &text, const QColor &color, int weight)
{
    QFont font(LetterFamily);
    font.setPixelSize(int(r.height()));
    font.setWeight(QFont::Weight(weight));
    font.setStyleStrategy(QFont::NoFontMerging);
    if (QRawFont::fromFont(font).familyName() != LetterFamily)
        fail(QString("the font %1 is not installed").arg(LetterFamily));
    p.setFont(font);
    // Squeeze wide text into the box instead of letting it overflow.
    const qreal width = QFontMetricsF(font).horizontalAdvance(text);
    p.save();
    p.translate(r.center());
    if (width > r.width())
        p.scale(r.width() / width, 1.0);
    p.setPen(color);
    p.drawText(QRectF(-width / 2 - 2, -r.height(), width + 4, 2 * r.height()), Qt::AlignCenter,
               text);
    p.restore();
}

// Text on a coloured plate: the carriers' marks that are a word or a few letters.
Drawing plate(const QColor &color, const QString &text, const QColor &ink = Qt::white)
{
    return [color, text, ink](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawRoundedRect(QRectF(0.5, 3.0, 19.0, 14.0), 3.0, 3.0);
        letters(p, QRectF(1.5, 5.0, 17.0, 10.0), text, ink, QFont::Black);
    };
}

// A code the carrier left without a picture: its code in a dashed frame, so that the page
// shows where it stands.
QImage drawUnassigned(const Row &row)
{
    QImage image = canvas();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(Canvas / 20.0, Canvas / 20.0);
    QPen pen(QColor(0x88, 0x88, 0x88), 1.0, Qt::DashLine);
    p.setPen(pen);
    p.setBrush(QColor(0xf4, 0xf4, 0xf4));
    p.drawRect(QRectF(1.0, 1.0, 18.0, 18.0));
    letters(p, QRectF(2.5, 2.5, 15.0, 7.0), row.sjisHex.left(2), QColor(0x55, 0x55, 0x55),
            QFont::Bold);
    letters(p, QRectF(2.5, 10.5, 15.0, 7.0), row.sjisHex.mid(2), QColor(0x55, 0x55, 0x55),
            QFont::Bold);
    return image;
}

void iMode(QPainter &p)
{
    const QColor red(0xd8, 0x1e, 0x3a);
    // A big lower-case i, its dot red, with "mode" beside the stem.
    p.setPen(Qt::NoPen);
    p.setBrush(red);
    p.drawEllipse(QPointF(4.5, 4.0), 2.2, 2.2);
    p.setBrush(QColor(0x22, 0x22, 0x22));
    p.drawRoundedRect(QRectF(2.6, 7.2, 3.8, 10.5), 0.8, 0.8);
    letters(p, QRectF(7.3, 10.0, 11.7, 7.0), "mode", QColor(0x22, 0x22, 0x22), QFont::Bold);
}

void iAppli(QPainter &p)
{
    const QColor orange(0xeb, 0x6e, 0x00);
    p.setPen(Qt::NoPen);
    p.setBrush(orange);
    p.drawEllipse(QPointF(4.0, 4.0), 2.2, 2.2);
    p.drawRoundedRect(QRectF(2.1, 7.2, 3.8, 10.5), 0.8, 0.8);
    letters(p, QRectF(6.8, 10.0, 12.7, 7.0), QString::fromUtf8("\u03b1ppli"),
            QColor(0x22, 0x22, 0x22), QFont::Bold);
}

const std::map<QString, Drawing> &drawings()
{
    static const std::map<QString, Drawing> table{
        {"F975", iMode},
        {"F976",
         [](QPainter &p) {
             p.setPen(QPen(QColor(0x22, 0x22, 0x22), 1.2));
             p.setBrush(Qt::white);
             p.drawRoundedRect(QRectF(0.8, 0.8, 18.4, 18.4), 3.0, 3.0);
             p.save();
             p.translate(10.0, 10.0);
             p.scale(0.82, 0.82);
             p.translate(-10.5, -10.0);
             iMode(p);
             p.restore();
         }},
        {"F978",
         [](QPainter &p) {
             // Provided by DOCOMO: a red badge with a white D.
             p.setPen(Qt::NoPen);
             p.setBrush(QColor(0xd8, 0x1e, 0x3a));
             p.drawRoundedRect(QRectF(1.0, 1.0, 18.0, 18.0), 4.0, 4.0);
             letters(p, QRectF(3.0, 3.5, 14.0, 13.5), "D", Qt::white, QFont::Black);
         }},
        {"F979",
         [](QPainter &p) {
             // docomo Point: a gold coin marked P.
             p.setPen(QPen(QColor(0xb0, 0x78, 0x10), 1.2));
             p.setBrush(QColor(0xf7, 0xc8, 0x3c));
             p.drawEllipse(QPointF(10.0, 10.0), 8.6, 8.6);
             p.setPen(QPen(QColor(0xe0, 0xa2, 0x20), 0.8));
             p.setBrush(Qt::NoBrush);
             p.drawEllipse(QPointF(10.0, 10.0), 6.6, 6.6);
             letters(p, QRectF(4.5, 4.0, 11.0, 12.5), "P", QColor(0xd8, 0x1e, 0x3a), QFont::Black);
         }},
        {"F984",
         [](QPainter &p) {
             // Free dial: the toll-free number prefix on a green plate.
             p.setPen(Qt::NoPen);
             p.setBrush(QColor(0x1f, 0x9a, 0x4a));
             p.drawRoundedRect(QRectF(0.5, 0.5, 19.0, 19.0), 3.5, 3.5);
             letters(p, QRectF(1.5, 1.6, 17.0, 8.4), "01", Qt::white, QFont::Bold);
             letters(p, QRectF(1.5, 10.0, 17.0, 8.4), "20", Qt::white, QFont::Bold);
         }},
        {"F986",
         [](QPainter &p) {
             // MobileQ: a Q on a blue disc.
             p.setPen(Qt::NoPen);
             p.setBrush(QColor(0x1d, 0x5f, 0xc8));
             p.drawEllipse(QPointF(10.0, 10.0), 9.2, 9.2);
             letters(p, QRectF(3.0, 3.0, 14.0, 13.0), "Q", Qt::white, QFont::Black);
         }},
        // i-appli, plain and framed: an orange "i" with "αppli" beside it.
        {"F9B1", [](QPainter &p) { iAppli(p); }},
        {"F9B2",
         [](QPainter &p) {
             p.setPen(QPen(QColor(0x22, 0x22, 0x22), 1.2));
             p.setBrush(Qt::white);
             p.drawRoundedRect(QRectF(0.8, 0.8, 18.4, 18.4), 3.0, 3.0);
             p.save();
             p.translate(10.0, 10.0);
             p.scale(0.82, 0.82);
             p.translate(-10.5, -10.0);
             iAppli(p);
             p.restore();
         }},
        // au's marks without a standard emoji.
        {"F748", plate(QColor(0x1d, 0x5f, 0xc8), "?")},
        {"F794", plate(QColor(0xeb, 0x5a, 0x00), "EZ")},
        {"F7A3", plate(QColor(0x55, 0x55, 0x55), "PDC")},
        {"F7CF", plate(QColor(0xeb, 0x5a, 0x00), "EZ+")},
        // オープンウェーブ: the browser maker's mark, a wave.
        {"F7D2",
         [](QPainter &p) {
             p.setPen(Qt::NoPen);
             p.setBrush(QColor(0x1d, 0x5f, 0xc8));
             p.drawRoundedRect(QRectF(0.5, 3.0, 19.0, 14.0), 3.0, 3.0);
             QPainterPath wave(QPointF(2.5, 11.0));
             wave.cubicTo(QPointF(5.5, 5.0), QPointF(7.5, 5.0), QPointF(10.0, 10.0));
             wave.cubicTo(QPointF(12.5, 15.0), QPointF(14.5, 15.0), QPointF(17.5, 9.0));
             p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap));
             p.setBrush(Qt::NoBrush);
             p.drawPath(wave);
         }},
        {"F370", plate(QColor(0xeb, 0x5a, 0x00), "NAVI")},
        {"F478", plate(QColor(0xeb, 0x5a, 0x00), "MOV")},
        // Cメール: au's short mail, a C on an envelope.
        {"F486",
         [](QPainter &p) {
             p.setPen(QPen(QColor(0x22, 0x22, 0x22), 1.0));
             p.setBrush(Qt::white);
             p.drawRect(QRectF(1.0, 4.0, 18.0, 12.5));
             p.drawPolyline(QPolygonF{QPointF(1.0, 4.0), QPointF(10.0, 11.0), QPointF(19.0, 4.0)});
             p.setPen(Qt::NoPen);
             p.setBrush(QColor(0xeb, 0x5a, 0x00));
             p.drawEllipse(QPointF(14.5, 13.0), 4.5, 4.5);
             letters(p, QRectF(11.0, 9.5, 7.0, 7.0), "C", Qt::white, QFont::Black);
         }},
    };
    return table;
}

QImage drawOwn(const Row &row)
{
    const auto it = drawings().find(row.sjisHex);
    if (it == drawings().end() && row.nameJa.isEmpty() && row.nameEn.isEmpty())
        return drawUnassigned(row);
    if (it == drawings().end())
        fail(row.sjisHex + " has neither an emoji nor a drawing");
    QImage image = canvas();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(Canvas / 20.0, Canvas / 20.0);
    it->second(p);
    return image;
}

// Crops to what is drawn, fits it into size x size keeping its shape, and makes each pixel
// either clear or opaque on white, as a GIF can only hold.
QImage finish(const QImage &drawn, int size)
{
    QRect used;
    for (int y = 0; y < drawn.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(drawn.constScanLine(y));
        for (int x = 0; x < drawn.width(); ++x) {
            if (qAlpha(line[x]) > 8)
                used |= QRect(x, y, 1, 1);
        }
    }
    if (used.isEmpty())
        fail("nothing was drawn");
    const int side = qMax(used.width(), used.height());
    QImage square(side, side, QImage::Format_ARGB32_Premultiplied);
    square.fill(Qt::transparent);
    {
        QPainter p(&square);
        p.drawImage(QPoint((side - used.width()) / 2, (side - used.height()) / 2), drawn, used);
    }
    const QImage small = square.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                             .convertToFormat(QImage::Format_ARGB32);
    QImage out(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const QRgb c = small.pixel(x, y);
            const int a = qAlpha(c);
            if (a < 64) {
                out.setPixel(x, y, qRgba(0, 0, 0, 0));
                continue;
            }
            auto onWhite = [a](int v) { return (v * a + 255 * (255 - a)) / 255; };
            out.setPixel(x, y, qRgb(onWhite(qRed(c)), onWhite(qGreen(c)), onWhite(qBlue(c))));
        }
    }
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        fail("usage: make_pictographs <pictographs.csv> <output folder> [size "
             "[pictographs-carriers.csv]]");
    const QString out = args[2];
    const int size = args.size() > 3 ? args[3].toInt() : 20;
    if (size < 8 || size > 64)
        fail("size must be between 8 and 64");

    const QList<Row> rows = readTable(args[1]);
    if (rows.size() != 176)
        fail(QString("expected 176 pictographs, found %1").arg(rows.size()));

    QFile list(out + "/ImageList.txt");
    if (!list.open(QIODevice::WriteOnly))
        fail("cannot write " + list.fileName());
    for (const Row &row : rows) {
        const QImage drawn = row.unicode.isEmpty() ? drawOwn(row) : drawEmoji(row);
        if (!finish(drawn, size).save(out + "/" + row.code + ".png"))
            fail("cannot write the image of " + row.code);

        QString label = row.nameJa;
        QString note = plainLatin(row.nameEn);
        // The table leaves the keycap 0 unnamed; a keycap is named by its key.
        if (label.isEmpty() && row.unicode.size() == 2 && row.unicode[1] == 0x20E3)
            label = QString(QChar(char16_t(row.unicode[0])));
        if (note.isEmpty())
            note = label;
        if (label.isEmpty())
            fail(row.code + " has no name");
        list.write((row.code + ',' + listField(label) + ',' + listField(note) + "\r\n").toUtf8());
    }

    if (args.size() > 4) {
        QSet<QString> basic;
        for (const Row &row : rows)
            basic.insert(row.code);
        int drawn = 0;
        for (const Row &row : readCarriersTable(args[4])) {
            if (basic.contains(row.code))
                continue;
            QImage image;
            if (isBlank(row)) {
                // au's blanks (a whole, half and quarter width) are space, drawn as nothing.
                image = QImage(size, size, QImage::Format_ARGB32);
                image.fill(Qt::transparent);
            } else {
                image = finish(row.unicode.isEmpty() ? drawOwn(row) : drawEmoji(row), size);
            }
            if (!image.save(out + "/" + row.code + ".png"))
                fail("cannot write the image of " + row.code);
            ++drawn;
        }
        if (drawn != 753)
            fail(QString("expected 753 pictographs beyond the basic ones, drew %1").arg(drawn));
    }
    return 0;
}
