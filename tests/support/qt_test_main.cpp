#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
#ifndef _WIN32
    // Headless unless the caller chose a platform. (The Windows build has
    // no offscreen platform; its tests run on Wine's own display.)
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
#endif
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
