// SPDX-License-Identifier: 0BSD
// The game's face where the comic faces are not as on a usual Debian desktop: without Comic Neue, where
// fontconfig takes a script face for "Comic Sans MS", the plain sans-serif face; with --comic-sans, Comic Sans
// MS (a copy of Comic Neue named so) beside Comic Neue, Comic Sans MS and not the face that stands in for it.

#include "widgets/label.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>

int main(int argc, char* argv[])
{
    const bool comicSans = argc > 1 && std::strcmp(argv[1], "--comic-sans") == 0;
    QTemporaryDir dir;
    // Our own cache folder first: fontconfig writes the cache of a folder it
    // scans into the first one it may write to.
    QByteArray rules = "<cachedir>" + QFile::encodeName(dir.filePath(QStringLiteral("cache"))) + "</cachedir>"
                       "<include>/etc/fonts/fonts.conf</include>";
    if (comicSans) {
        QProcess match;
        match.start(QStringLiteral("fc-match"), {QStringLiteral("-f"), QStringLiteral("%{file}"),
                                                 QStringLiteral("Comic Neue:style=Regular")});
        const QString copy = dir.filePath(QStringLiteral("comicsans.otf"));
        if (!match.waitForFinished() || !QFile::copy(QString::fromLocal8Bit(match.readAllStandardOutput()), copy)) {
            std::printf("SKIPPED: no Comic Neue to install as Comic Sans MS\n");
            return 0;
        }
        rules += "<dir>" + QFile::encodeName(dir.path()) + "</dir><match target=\"scan\"><test name=\"file\"><string>"
                 + QFile::encodeName(copy) + "</string></test><edit name=\"family\" mode=\"assign\">"
                 "<string>Comic Sans MS</string></edit></match>";
    } else {
        rules += "<selectfont><rejectfont><glob>*/ComicNeue*</glob></rejectfont></selectfont>";
    }
    QFile conf(dir.filePath(QStringLiteral("fonts.conf")));
    if (!conf.open(QIODevice::WriteOnly) || !conf.write("<?xml version=\"1.0\"?><fontconfig>" + rules + "</fontconfig>"))
        return 2;
    conf.close();
    qputenv("FONTCONFIG_FILE", QFile::encodeName(conf.fileName()));
    QGuiApplication app(argc, argv);

    if (comicSans) {
        const QStringList families = QFontDatabase::families();
        if (!families.contains(QStringLiteral("Comic Sans MS")) || !families.contains(QStringLiteral("Comic Neue"))) {
            std::printf("SKIPPED: this fontconfig would not show Comic Sans MS beside Comic Neue\n");
            return 0;
        }
        const QString shown = QFontInfo(tavlin::comicFont(11.25)).family();
        std::printf("Comic Sans MS beside Comic Neue: %s\n", qPrintable(shown));
        return shown == QLatin1String("Comic Sans MS") ? 0 : 1;
    }
    if (QFontInfo(QFont(QStringLiteral("Comic Neue"))).family() == QLatin1String("Comic Neue")) {
        std::printf("SKIPPED: this fontconfig would not hide Comic Neue\n");
        return 0;
    }
    const QString shown = QFontInfo(tavlin::comicFont(30, true)).family();
    const QString sans = QFontInfo(QFont(QStringLiteral("sans-serif"))).family();
    std::printf("Comic Sans MS without Comic Neue: %s; sans-serif: %s\n", qPrintable(shown), qPrintable(sans));
    return shown == sans ? 0 : 1;
}
