// The examination player.
#include "session/StartUp.h"

int main(int argc, char **argv)
{
    return RunTarvik(argc, argv);
}
