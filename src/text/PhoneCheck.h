#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>
#include <functional>

// The check of a page against the phones it is for: what in the page a generation of i-mode
// phones cannot show. The tables (tools/imode) travel inside the program.
namespace PhoneCheck {

// A phone generation of the limits table.
struct Target
{
    QString generation;   // as the table names it: "502i (also 821i PHS and F671i)"
    QString version;      // i-mode HTML version: "2.0", "3.0F"
    int pageLimitKb = 5;  // the largest page, markup and images together
    QString imageFormats; // as the table words it: "GIF; JPEG only on some models (...)"
    // The generation without its bracketed list, for menus and messages; the safe floor is
    // 全機種.
    QString label() const;
    // The phones of the newer network: FOMA versions, and every phone from 6.0 on.
    bool isFoma() const;
};

// One row of the HTML table: an element, element@attribute, element@attribute=value or a
// scheme ("tel:").
struct Feature
{
    QString first;         // version that first accepted it
    bool inferred = false; // its version is inferred or assumed, not stated by a source
    bool singleSource = false;
};

struct Tables
{
    QList<Target> targets; // the safe floor first, as the table has it
    QHash<QString, Feature> features;
    QString error; // empty when both tables were read whole

    // Reads the two tables (UTF-8 CSV with their header lines).
    static Tables parse(QByteArrayView htmlCsv, QByteArrayView limitsCsv);
    // The program's own copy.
    static const Tables &program();
    // The generation named, or the safe floor for a name the table does not hold.
    const Target &target(const QString &generation) const;
    // The label of the first generation of a version: "502i" for "2.0".
    QString exampleOf(const QString &version) const;
};

// The order of i-mode HTML versions; -1 for a token that is none.
int versionRank(QStringView version);
// Whether a phone of version target accepts what came with version first. A FOMA version
// ("3.0F") is accepted by FOMA phones only, however new the older network's phone.
bool accepts(QStringView first, QStringView target);

enum class ImageSupport
{
    No,
    Uncertain,
    Yes
};
// Whether a generation shows a format ("GIF", "JPEG", "PNG", "BMP"): Uncertain where the
// table says some models only, or that it is not confirmed.
ImageSupport showsImages(const Target &target, const QString &format);

struct Finding
{
    enum class Level
    {
        Error,
        Caution
    };
    Level level = Level::Error;
    int position = 0; // in the text checked
    int line = 1;     // from 1
    QString message;
};

// The size of a local image that the page shows, by its src; negative when not found.
using ImageBytes = std::function<qint64(const QString &src)>;

// Every finding in the text, in order of place. pageBytes is the page as saved; the images it
// shows count towards the largest page.
QList<Finding> check(const QString &text, qint64 pageBytes, const Target &target,
                     const ImageBytes &imageBytes = {}, const Tables &tables = Tables::program());

} // namespace PhoneCheck
