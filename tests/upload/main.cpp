#include <QCoreApplication>

#include <gtest/gtest.h>

// The upload waits in Qt's event processing, which needs the application
// object. The stand-in tests trust their throw-away certificate authority
// through the default SSL configuration when they first start the stand-in
// (StandIn.cpp), so tests that start nothing never run openssl.
int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
