// The test program is also the saving process the kill trials start: with "--save-loop
// <folder>" it only saves in a loop.
#include "save_loop.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <cstring>

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--save-loop") == 0)
        return runSaveLoop(QString::fromLocal8Bit(argv[2]));
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
