#include <QCoreApplication>

#include <gtest/gtest.h>

// One application object for the whole run, made before the first socket;
// the tests drive its event loop themselves.
int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
