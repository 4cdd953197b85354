// Opens FILE with MODE through the program's own open, prints "held" (or "failed") and keeps it
// open until its standard input closes or a line arrives: the other station of a sharing test.
#include "core/Files.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: file_holder FILE MODE\n");
        return 2;
    }
    auto file = TryOpenFile(QString::fromLocal8Bit(argv[1]), uint16_t(std::atoi(argv[2])));
    std::printf(file ? "held\n" : "failed\n");
    std::fflush(stdout);
    if (!file)
        return 1;
    char line[16];
    (void)!std::fgets(line, sizeof line, stdin);
    return 0;
}
