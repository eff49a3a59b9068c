// SPDX-License-Identifier: 0BSD
// The texts of the help and About boxes.
#include "window/mainwindow.h"

#include "board/boxlines.h"
#include "version.h"

namespace tavlin {

QString MainWindow::helpText()
{
    return joinLines({
        QStringLiteral("Cíl hry:"),
        QStringLiteral("Zábavná logická hra, ve které je cílem"),
        QStringLiteral("seřadit tavlin s číslicemi do správného pořadí."),
        QString(),
        QStringLiteral("Ovládání:"),
        QStringLiteral("Po kliknutí na kamen se přesune na volné místo vedle sebe."),
        QStringLiteral("Tímto přesouváním kamenů musíte docílit toho, aby jejich čísla šla"),
        QStringLiteral("od nejmenšího po největší (1-10). Jakmile bude vše složeno, objeví"),
        QStringLiteral("se zpráva s vyhodnocením:"),
        QStringLiteral("         počet tahů - údává kolikrát byly tavlin přesunuty"),
        QStringLiteral("         čas - udává za jakou dobu byla skládanka složena"),
    });
}

QString MainWindow::aboutText()
{
    return joinLines({
        QString::fromUtf8(VersionLine),
        QString::fromUtf8(AboutSubtitle),
        QString(),
        QStringLiteral("Zábavná logická hra, ve které je cílem"),
        QStringLiteral("seřadit tavlin s číslicemi do správného pořadí."),
        QString(),
        QString::fromUtf8(AboutRights),
        QString::fromUtf8(AboutWeb),
        QString::fromUtf8(AboutEmail),
    });
}

}  // namespace tavlin
