// The store's functions need an application object (the executable's path) and a registry
// stand-in of their own.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>

int main(int argc, char *argv[])
{
    QTemporaryDir registryRoot;
    qputenv("SORVELLA_REGISTRY_ROOT", registryRoot.path().toLocal8Bit());
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
