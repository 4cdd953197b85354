// The examination player.
#include "StartUp.h"

int main(int argc, char **argv) { return RunTarvik(argc, argv); }
