// SPDX-License-Identifier: 0BSD
// Where Comic Neue is missing, fontconfig takes "Comic Sans MS" for a script
// face: the game's font must fall back to the plain sans-serif face instead.

#include "window/label.h"

#include <QFile>
#include <QFontInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char* argv[])
{
    QTemporaryDir dir;
    QFile conf(dir.filePath(QStringLiteral("fonts.conf")));
    if (!conf.open(QIODevice::WriteOnly)
        || !conf.write("<?xml version=\"1.0\"?><fontconfig><include>/etc/fonts/fonts.conf</include>"
                       "<selectfont><rejectfont><glob>*/ComicNeue*</glob></rejectfont></selectfont></fontconfig>"))
        return 2;
    conf.close();
    qputenv("FONTCONFIG_FILE", QFile::encodeName(conf.fileName()));
    QGuiApplication app(argc, argv);
    if (QFontInfo(QFont(QStringLiteral("Comic Neue"))).family() == QLatin1String("Comic Neue")) {
        std::printf("SKIPPED: this fontconfig would not hide Comic Neue\n");
        return 0;
    }
    const QString shown = QFontInfo(tavlin::comicFont(30, true)).family();
    const QString sans = QFontInfo(QFont(QStringLiteral("sans-serif"))).family();
    std::printf("Comic Sans MS without Comic Neue: %s; sans-serif: %s\n", qPrintable(shown), qPrintable(sans));
    return shown == sans ? 0 : 1;
}
