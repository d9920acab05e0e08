#include "program/startup.h"

int main(int argc, char *argv[])
{
    return merilon::runProgram(argc, argv);
}
