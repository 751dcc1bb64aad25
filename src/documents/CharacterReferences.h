#pragma once

#include <QList>
#include <QString>

// A character that code page 932 cannot hold, where it stands in a text and the decimal
// numeric character reference that can stand for it in a page.
struct CharacterReference
{
    int position = 0;  // in UTF-16 units, as the text control counts
    int length = 1;    // 2 for a character outside the basic plane
    QString reference; // "&#128512;"
};

// Every character of text that code page 932 cannot hold, from the first to the last.
QList<CharacterReference> UnencodableCharacters(const QString &text);

// Names the distinct characters of the list for a question: "「😀」(U+1F600)、「①」...", at
// most a few of them followed by how many more there are.
QString NameCharacters(const QString &text, const QList<CharacterReference> &found);
