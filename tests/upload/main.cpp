#include <QCoreApplication>
#include <gtest/gtest.h>

// The upload waits in Qt's event processing, which needs the application object.
int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
