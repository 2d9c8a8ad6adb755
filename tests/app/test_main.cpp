// One application object for every test of the shell, on the offscreen platform, with the
// registry stand-in and config.json moved into scratch directories.
#include "config/config_file.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir registryRoot;
    qputenv("SORVELLA_REGISTRY_ROOT", registryRoot.path().toLocal8Bit());
    QTemporaryDir configFolder;
    setConfigDirectory(configFolder.path());

    ::testing::InitGoogleTest(&argc, argv);
    // The window and the wheel-lines worker start threads; a forked child must start afresh.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
