// SPDX-License-Identifier: 0BSD
// The texts of the help and About boxes.
#include "window/mainwindow.h"

#include "version.h"

#include <QStringList>

namespace tavlin {

namespace {

// The boxes' texts join their lines with a lone carriage return.
QString joinLines(const QStringList& lines)
{
    return lines.join(QChar(u'\r'));
}

}  // namespace

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
        QStringLiteral("Tavlin %1.%2.%3").arg(VersionMajor).arg(VersionMinor).arg(VersionRevision),
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
