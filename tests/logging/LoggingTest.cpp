#include "logging/Logging.h"
#include "logging/Report.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDate>
#include <QRegularExpression>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Stands in for the system logger: binds /dev/log when nothing else owns it
// (containers have none) and collects the datagrams the program sends.
class SystemLogStandIn {
public:
    SystemLogStandIn()
    {
        struct stat existing;
        if (::stat("/dev/log", &existing) == 0)
            return;
        fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof address.sun_path, "/dev/log");
        if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            ::close(fd);
            fd = -1;
        }
    }
    ~SystemLogStandIn()
    {
        if (fd >= 0) {
            ::close(fd);
            ::unlink("/dev/log");
        }
    }
    bool active() const { return fd >= 0; }
    // Only the datagrams that mention `marker`: tests in other processes may
    // log to the same socket meanwhile.
    std::vector<std::string> received(const std::string& marker)
    {
        std::vector<std::string> messages;
        char buffer[2048];
        ssize_t n;
        while ((n = ::recv(fd, buffer, sizeof buffer, 0)) > 0)
            if (std::string(buffer, static_cast<size_t>(n)).find(marker) != std::string::npos)
                messages.emplace_back(buffer, static_cast<size_t>(n));
        return messages;
    }

private:
    int fd = -1;
};

void reportFailure(const char* path = "/dev/x")
{
    Tessaly::report(spdlog::level::err, Q_FUNC_INFO, ": Failed Opening \"", path, "\": ", 2);
}

TEST(Logging, ErrorGoesOnceToStandardOutputInThePatternAndOnceToTheSystemLogBare)
{
    SystemLogStandIn systemLog;
    if (!systemLog.active())
        GTEST_SKIP() << "/dev/log is owned by a real system logger or cannot be bound";
    Tessaly::initLogging(true, "/nonexistent/");
    testing::internal::CaptureStdout();
    reportFailure();
    Tessaly::report(spdlog::level::debug, Q_FUNC_INFO, " never shown");
    const std::string out = testing::internal::GetCapturedStdout();
    Tessaly::ceaseLogging();

    const QString date = QDate::currentDate().toString("yy/MM/dd");
    const QRegularExpression pattern("^\\[" + QRegularExpression::escape(date)
                                     + "\\]\\[tid:\\d+\\]\\[E\\]> void \\{anonymous\\}::reportFailure\\(const char\\*\\): "
                                       "Failed Opening \"/dev/x\": 2\n$");
    EXPECT_TRUE(pattern.match(QString::fromStdString(out)).hasMatch()) << out;

    const std::vector<std::string> messages = systemLog.received("/dev/x");
    ASSERT_EQ(messages.size(), 1u);
    // <11> is the user facility (8) at error priority (3).
    EXPECT_EQ(messages[0].rfind("<11>", 0), 0u) << messages[0];
    const std::string bare = "void {anonymous}::reportFailure(const char*): Failed Opening \"/dev/x\": 2";
    EXPECT_EQ(messages[0].substr(messages[0].size() - bare.size()), bare) << messages[0];
}

TEST(Logging, MessagesWhileTheConsoleHoldsStandardOutputAppearWhenItIsReleased)
{
    Tessaly::initLogging(true, "/nonexistent/");
    testing::internal::CaptureStdout();
    Tessaly::holdStandardOutput();
    reportFailure("/dev/z");
    std::fputs("screen\n", stdout);
    Tessaly::releaseStandardOutput();
    const std::string out = testing::internal::GetCapturedStdout();
    Tessaly::ceaseLogging();
    EXPECT_EQ(out.rfind("screen\n[", 0), 0u) << out;
    EXPECT_NE(out.find("Failed Opening"), std::string::npos);
}

} // namespace
