// Registers COUNT passwords NAME0, NAME1, ... into the list FILE, one registration at a time as
// a station does, and prints "ok N" after each one is written: the other station of the tests.
#include "core/Files.h"
#include "core/Shares.h"
#include "session/Registration.h"

#include <QCoreApplication>
#include <QDate>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: pwl_station FILE NAME COUNT\n");
        return 2;
    }
    SetOpenRetryPolicy({1000, 20}); // stations wait for each other, as long as it takes
    const QString file = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    const int count = std::atoi(argv[3]);
    // A list on a share is reached with the account the tests give.
    if (IsUncName(file))
        ConnectShare(file, qEnvironmentVariable("TARVIK_SHARE_USER"),
                     qEnvironmentVariable("TARVIK_SHARE_PASSWORD"));
    for (int i = 0; i < count; ++i) {
        const QString n = name + QString::number(i);
        const QString record =
            PasswordRecord(n, QStringLiteral("pw-") + n, QStringLiteral("G"), QDate(2026, 12, 9));
        if (AppendPasswordRecord(file, ReadPasswordList(file).Lines(), record) !=
            RegisterResult::Written) {
            std::printf("failed %d\n", i);
            return 1;
        }
        std::printf("ok %d\n", i);
        std::fflush(stdout);
    }
    return 0;
}
