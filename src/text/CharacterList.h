#pragma once

#include <QList>
#include <QString>

// Names characters for a message to the user, each once in the order given, as
// 「c」(U+XXXX) so that invisible ones (joiners, spaces) can be found too, separated by "、";
// a long list is cut short after the first ten with " ほか N 文字".
QString DescribeCharacters(const QList<char32_t> &characters);

// A character to name, with a note on why, if any: 「c」(U+XXXX、note). The same character
// with another note is named again.
struct NamedCharacter
{
    char32_t character = 0;
    QString note;
};
QString DescribeCharacters(const QList<NamedCharacter> &characters);
