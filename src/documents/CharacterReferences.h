#pragma once

#include "text/Cp932.h"

#include <QList>
#include <QString>

// A character that cannot be written into a page as it stands, where it stands in a text and
// the decimal numeric character reference that can stand for it in a page.
struct CharacterReference
{
    int position = 0;  // in UTF-16 units, as the text control counts
    int length = 1;    // 2 for a character outside the basic plane
    QString reference; // "&#128512;"
    // Why: code page 932 has no sequence for it, it stands for a byte that is not the file's
    // own, or it would pair with a kept lone lead byte before it (byte: that byte, or the one
    // the character stands for).
    Cp932::Unwritable::Reason reason = Cp932::Unwritable::Reason::NotInCodePage;
    uchar byte = 0;
};

// Every character of a page's text that cannot be written as it stands, from the first to
// the last, given the forms its characters were read in (Cp932::encodePage). A character
// after a kept lone lead byte that would pair with it is listed too: written as a reference,
// which starts with "&", it leaves the lone byte as it was read.
QList<CharacterReference> UnwritableCharacters(const QString &text, const Cp932::Forms &forms);

// Names the distinct characters of the list for a question: "「😀」(U+1F600)、「①」...", at
// most a few of them followed by how many more there are; a character listed for a lone byte
// carries a note that says so.
QString NameCharacters(const QString &text, const QList<CharacterReference> &found);
