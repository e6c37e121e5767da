#include "logging/HeldStdoutSink.h"
#include "logging/Logging.h"
#include "logging/Printable.h"
#include "logging/Report.h"

#include <gtest/gtest.h>

#include <spdlog/logger.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDate>
#include <QRegularExpression>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

void reportFailure()
{
    Tessaly::report(spdlog::level::err, Q_FUNC_INFO, ": Failed Opening \"/dev/x\": ", 2);
}

TEST(Logging, ErrorGoesOnceToStandardOutputInThePatternAndOnceToTheSystemLogBare)
{
    // Stands in for the system logger where nothing else owns /dev/log
    // (containers have none; binding an existing path fails).
    const int systemLog = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "/dev/log");
    if (::bind(systemLog, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(systemLog);
        GTEST_SKIP() << "/dev/log is owned by a real system logger or cannot be bound";
    }
    const std::shared_ptr<void> unbind(nullptr, [systemLog](void*) { // also when an assertion ends the test
        ::close(systemLog);
        ::unlink("/dev/log");
    });
    Tessaly::initLogging(true, "/nonexistent/");
    testing::internal::CaptureStdout();
    reportFailure();
    Tessaly::report(spdlog::level::debug, Q_FUNC_INFO, " never shown");
    const std::string out = testing::internal::GetCapturedStdout();
    Tessaly::ceaseLogging();

    const QString date = QDate::currentDate().toString("yy/MM/dd");
    const QRegularExpression pattern("^\\[" + QRegularExpression::escape(date)
                                     + "\\]\\[tid:\\d+\\]\\[E\\]> void \\{anonymous\\}::reportFailure\\(\\): "
                                       "Failed Opening \"/dev/x\": 2\n$");
    EXPECT_TRUE(pattern.match(QString::fromStdString(out)).hasMatch()) << out;

    // Only the datagrams that mention /dev/x: other programs may log meanwhile.
    std::vector<std::string> messages;
    char buffer[2048];
    for (ssize_t n; (n = ::recv(systemLog, buffer, sizeof buffer, 0)) > 0;)
        if (std::string(buffer, static_cast<size_t>(n)).find("/dev/x") != std::string::npos)
            messages.emplace_back(buffer, static_cast<size_t>(n));
    ASSERT_EQ(messages.size(), 1u);
    // <11> is the user facility (8) at error priority (3).
    EXPECT_EQ(messages[0].rfind("<11>", 0), 0u) << messages[0];
    const std::string bare = "void {anonymous}::reportFailure(): Failed Opening \"/dev/x\": 2";
    EXPECT_EQ(messages[0].substr(messages[0].size() - bare.size()), bare) << messages[0];
}

// Bounded by count (the oldest give way, in order) and by bytes (a flood of
// overlong lines, each cut).
TEST(HeldStdoutSink, HoldsInOrderWithinItsCountAndByteBounds)
{
    using Tessaly::HeldStdoutSink;
    char* buffer = nullptr;
    size_t size = 0;
    std::FILE* file = open_memstream(&buffer, &size);
    const auto contents = [&] { std::fflush(file); return std::string(buffer, size); };
    auto sink = std::make_shared<HeldStdoutSink>(file);
    spdlog::logger logger("held", sink);
    logger.set_pattern("%v");
    logger.error("before");
    sink->hold();
    for (size_t i = 0; i < HeldStdoutSink::maxHeldMessages + 2; ++i)
        logger.error("m{}", i);
    EXPECT_EQ(contents(), "before\n");
    sink->release();
    std::string text = contents();
    EXPECT_EQ(text.rfind("before\n[2 earlier diagnostic messages were dropped while the console was up]\nm2\nm3\n", 0), 0u);
    EXPECT_NE(text.find("m2001\n"), std::string::npos);
    logger.error("after");
    EXPECT_EQ(contents().substr(contents().size() - 6), "after\n");

    const size_t start = contents().size();
    sink->hold();
    for (int i = 0; i < 600; ++i) { // ten minutes of one overlong line a second
        logger.info(std::string(100000, 'x'));
        ASSERT_LE(sink->heldBytes(), HeldStdoutSink::maxHeldBytes);
    }
    EXPECT_GT(sink->heldBytes(), HeldStdoutSink::maxHeldBytes / 2);
    sink->release();
    EXPECT_EQ(sink->heldBytes(), 0u);
    text = contents().substr(start);
    EXPECT_LE(text.size(), HeldStdoutSink::maxHeldBytes + 200);
    EXPECT_NE(text.find(" earlier diagnostic messages were dropped"), std::string::npos);
    EXPECT_NE(text.find("x [... "), std::string::npos);
    std::fclose(file);
    std::free(buffer);
}

TEST(Printable, ControlCharactersAreEscapedAndLongTextsCut)
{
    const struct { std::string in, out; } cases[] = {
        {"\x1b[2J\x1b[30;40m", "\\x1b[2J\\x1b[30;40m"},  // clear screen, black on black
        {"a\tb\nc\x7f\r", "a\\x09b\\x0ac\\x7f\\x0d"},
        {"\xc2\x9b" "31m", "\\x9b31m"},                    // the 8-bit CSI, as UTF-8
        {"M\xc3\xbcller \xc2\xb0", "M\xc3\xbcller \xc2\xb0"}, // printable non-ASCII stays
        {std::string("a\0b", 3), "a\\x00b"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Tessaly::printable(c.in), c.out) << c.in;
    EXPECT_EQ(Tessaly::printable(QString::fromLatin1("X\x1b\x9b\xb0")), "X\\x1b\\x9b\xc2\xb0");
    // Long texts are cut at a character boundary, with a marker.
    const struct { std::string in; size_t limit; std::string out; } cuts[] = {
        {"abcdef", 6, "abcdef"},
        {"abcdefgh", 6, "abcdef [... 2 bytes cut]"},
        {"abcd\xc3\xbc" "x", 5, "abcd [... 3 bytes cut]"}, // not inside the two-byte character
    };
    for (auto c : cuts) {
        Tessaly::cutMessage(c.in, c.limit);
        EXPECT_EQ(c.in, c.out);
    }
    std::string huge(100000, 'x');
    Tessaly::cutMessage(huge);
    EXPECT_LE(huge.size(), Tessaly::maxMessageBytes + 32);
}

} // namespace
