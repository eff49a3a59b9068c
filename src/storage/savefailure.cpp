// SPDX-License-Identifier: 0BSD
// Why a save failed: the causes a failed system call names, and the text the player reads.
#include "storage/savefailure.h"

#include "board/boxlines.h"

#include <QDir>
#include <QStringList>

#include <algorithm>
#include <iterator>
#include <utility>

#include <cerrno>

namespace tavlin::scorefile {

namespace {

// Why a save failed, in the player's words: the one place for these texts.
constexpr std::pair<Cause, const char16_t*> CauseTexts[] = {
    {Cause::FilePermission, u"Nemáte oprávnění zapisovat do souboru s tabulkou."},
    {Cause::FolderPermission, u"Nemáte oprávnění zapisovat do složky, ve které má soubor být."},
    {Cause::DiskFull, u"Na disku není dost volného místa."},
    {Cause::SizeLimit, u"Soubor by přesáhl největší velikost souboru, kterou systém dovoluje."},
    {Cause::Busy, u"Tabulku drží jiná spuštěná hra déle, než je obvyklé."},
    {Cause::ReadOnly, u"Souborový systém je připojen jen pro čtení."},
    {Cause::NotAFile, u"Na místě souboru je složka nebo něco jiného než obyčejný soubor."},
    {Cause::Unreadable, u"Dosavadní tabulku se nepodařilo přečíst, a proto se nepřepíše. "
                        u"Výsledek hry není uložen."},
    {Cause::InputOutput, u"Při zápisu na disk došlo k chybě vstupu/výstupu."},
    {Cause::NoFolder, u"Složku programu se nepodařilo najít."},
    {Cause::Other, u"Při ukládání došlo k neočekávané chybě."},
};

}  // namespace

Cause causeOf(int error, Cause denied)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return denied;
    case EROFS:
        return Cause::ReadOnly;
    case ENOSPC:
    case EDQUOT:
        return Cause::DiskFull;
    case EFBIG:  // over the size limit the system sets for this user (ulimit -f)
        return Cause::SizeLimit;
    case EIO:
        return Cause::InputOutput;
    case ENOENT:
    case ENOTDIR:
        return Cause::NoFolder;
    case EISDIR:
    case ELOOP:
        return Cause::NotAFile;
    default:
        return Cause::Other;
    }
}

std::optional<WriteFailure> failure(Cause cause)
{
    return WriteFailure{cause};
}

std::optional<WriteFailure> failureFromErrno(Cause denied)
{
    return failure(causeOf(errno, denied));
}

QString failureText(const QString& shownPath, const WriteFailure& failure)
{
    const auto* entry = std::find_if(std::begin(CauseTexts), std::end(CauseTexts),
                                     [&](const auto& e) { return e.first == failure.cause; });
    if (entry == std::end(CauseTexts))
        entry = std::end(CauseTexts) - 1;  // Cause::Other
    const QString reason = QString::fromUtf16(entry->second);
    return joinLines({
        QStringLiteral("Tabulku nejlepších hráčů se nepodařilo uložit."),
        QString(),
        QStringLiteral("Soubor: %1").arg(QDir::toNativeSeparators(shownPath)),
        QStringLiteral("Důvod: %1").arg(reason),
    });
}

}  // namespace tavlin::scorefile
