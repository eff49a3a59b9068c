// SPDX-License-Identifier: 0BSD
// Prints the best-of table's path as a player reads it; given an argument,
// first saves the default table there and reads it back, or fails.

#include "storage/tablefile.h"
#include "storage/tablelocation.h"

#include <cstdio>

int main(int argc, char*[])
{
    namespace sf = tavlin::scorefile;
    const QString path = tavlin::tablelocation::scoreFile();
    if (argc > 1 && (sf::save(path, sf::defaultLines()) || sf::load(path) != sf::defaultLines()))
        return 1;
    std::printf("%s\n", tavlin::tablelocation::shownName(path).toLocal8Bit().constData());
}
