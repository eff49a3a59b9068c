// SPDX-License-Identifier: 0BSD
#pragma once
// Where the best-of table lives: the file tavlin.inf in the folder that holds
// the program's executable, and never anywhere else.
//
// Qt names the program's folder from a decoded path, and a folder whose name
// is not valid UTF-8 comes back as an empty name, which would put the table
// in the root folder. So the folder is found from the raw bytes of
// /proc/self/exe and opened once; Qt then reaches the table through that
// descriptor by a plain ASCII path, whatever bytes the folder's name holds.

#include <QString>

namespace tavlin::tablelocation {

// The score file beside the program as a path Qt can use,
// "/proc/self/fd/N/tavlin.inf", N being a descriptor of the program's folder
// held open while the program runs. Empty when the folder cannot be reached:
// the load then finds no table and a save says that the folder is missing.
QString scoreFile();

// `path` as the player should read it: a path through that descriptor is
// shown with the folder's own name, decoded as UTF-8 (a byte that is not
// UTF-8 shows as a replacement mark). Any other path is returned as it is.
QString shownName(const QString& path);

}  // namespace tavlin::tablelocation
