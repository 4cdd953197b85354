// The registration lists of a roster of 200,000 examinees in as many groups, as ratios to
// reading the roster as the program reads it (its bytes, decoded into lines), in the same run:
//   the group list (every group once, case aside, in file order)              (target <= 3)
//   the names of one group                                                      (no target)

#include "BestTime.h"
#include "core/Cp1251.h"
#include "records/JournalFolder.h"
#include "session/Registration.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QByteArray roster;
    for (int i = 0; i < 200000; ++i)
        roster += Cp1251::Encode(QStringLiteral("Группа %1@Иванов %2 И.О.\r\n").arg(i).arg(i));
    QFile f(dir.filePath(QStringLiteral("JSpisok.fzj")));
    f.open(QIODevice::WriteOnly);
    f.write(roster);
    f.close();

    for (int round = 0; round < 3; ++round) {
        TLineList lines;
        const double read = BestMs(5, [&] { lines = ReadExamineeLines(dir.path(), true); });
        QStringList groups;
        const double build = BestMs(5, [&] { groups = ExamineeGroups(lines, true); });
        const double names =
            BestMs(5, [&] { (void)ExamineeNames(lines, true, QStringLiteral("Группа 1999")); });
        std::printf(
            "read %.1f ms (%d lines); group list %.1f ms (%d groups): ratio %.2f (target <= 3); "
            "names of a group %.1f ms: ratio %.2f\n",
            read, int(lines.Count()), build, int(groups.size()), build / read, names, names / read);
    }
    return 0;
}
