#pragma once

#include <QList>
#include <QString>

// Names characters for a message to the user, each once in the order given, as
// 「c」(U+XXXX) so that invisible ones (joiners, spaces) can be found too, separated by "、";
// a long list is cut short after the first ten with " ほか N 文字".
QString DescribeCharacters(const QList<char32_t> &characters);
