// Password list figures on a list of 10 000 records, as ratios to reading the same file's
// bytes once (open and read), measured in the same run:
//   CheckPassword: open, unscramble, classify                             (target <= 5)
//   RegisterPassword: hold, re-read, add, write beside, flush, rename     (no target)

#include "BestTime.h"
#include "core/Cp1251.h"
#include "core/Files.h"
#include "core/Scramble.h"
#include "session/Registration.h"

#include <QCoreApplication>
#include <QDate>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tarvik.pwl"));
    QStringList records;
    for (int i = 0; i < 10000; ++i)
        records.append(PasswordRecord(QStringLiteral("Фамилия%1 И.О.").arg(i),
                                      QStringLiteral("пароль%1").arg(i * 7919),
                                      QStringLiteral("Группа %1").arg(i % 40), QDate(2026, 9, 1)));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(
        ScrambleBytes(Cp1251::Encode(records.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")),
                      Keys::Passwords));
    f.close();

    const double read = BestMs(20, [&] {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        volatile qsizetype n = file.readAll().size();
        (void)n;
    });
    int outcome = 0;
    const double check = BestMs(20, [&] {
        // A name at the end of the list, and one that is not there (both passes run).
        outcome += int(ClassifyPassword(ReadPasswordList(path), QStringLiteral("Сидоров П."),
                                        QStringLiteral("x")));
    });
    PasswordList list;
    const double readList = BestMs(20, [&] { list = ReadPasswordList(path); });
    const double classify = BestMs(20, [&] {
        outcome += int(ClassifyPassword(list, QStringLiteral("Сидоров П."), QStringLiteral("x")));
    });
    int n = 0;
    const double registration = BestMs(10, [&] {
        AppendPasswordRecord(path, {},
                             PasswordRecord(QStringLiteral("Новый%1").arg(n++), QStringLiteral("p"),
                                            QStringLiteral("G"), QDate(2026, 12, 9)));
    });
    std::printf("password list of %lld bytes, 10 000 records: reading its bytes %.3f ms\n",
                static_cast<long long>(QFile(path).size()), read);
    std::printf("CheckPassword (open, unscramble, classify): %.3f ms: ratio %.1f (target <= 5)\n",
                check, check / read);
    std::printf("  of which reading and unscrambling %.3f ms, classifying %.3f ms\n", readList,
                classify);
    std::printf(
        "RegisterPassword (exclusive, re-read, write beside, fsync, rename): %.3f ms: ratio %.1f\n",
        registration, registration / read);
    return outcome < 0;
}
