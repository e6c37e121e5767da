#include "logging/HeldStdoutSink.h"

#include <spdlog/logger.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

std::string contents(std::FILE* file)
{
    std::fflush(file);
    std::rewind(file);
    std::string text;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, n);
    return text;
}

TEST(HeldStdoutSink, HoldsInOrderAndDropsTheOldestBeyondItsBound)
{
    std::FILE* file = std::tmpfile();
    auto sink = std::make_shared<Tessaly::HeldStdoutSink>(file);
    spdlog::logger logger("held", sink);
    logger.set_pattern("%v");

    logger.error("before");
    sink->hold();
    for (size_t i = 0; i < Tessaly::HeldStdoutSink::maxHeldMessages + 2; ++i)
        logger.error("m{}", i);
    EXPECT_EQ(contents(file), "before\n");
    sink->release();
    const std::string text = contents(file);
    EXPECT_EQ(text.rfind("before\n[2 earlier diagnostic messages were dropped while the console was up]\nm2\nm3\n", 0), 0u);
    EXPECT_NE(text.find("m2001\n"), std::string::npos);
    logger.error("after");
    EXPECT_EQ(contents(file).substr(contents(file).size() - 6), "after\n");
    std::fclose(file);
}

TEST(HeldStdoutSink, AFloodOfOverlongMessagesStaysWithinTheByteBound)
{
    std::FILE* file = std::tmpfile();
    auto sink = std::make_shared<Tessaly::HeldStdoutSink>(file);
    spdlog::logger logger("held", sink);
    logger.set_pattern("%v");

    sink->hold();
    const std::string line(100000, 'x');
    for (int i = 0; i < 600; ++i) { // ten minutes of one overlong line a second
        logger.info(line);
        ASSERT_LE(sink->heldBytes(), Tessaly::HeldStdoutSink::maxHeldBytes);
    }
    EXPECT_GT(sink->heldBytes(), Tessaly::HeldStdoutSink::maxHeldBytes / 2);
    sink->release();
    EXPECT_EQ(sink->heldBytes(), 0u);
    const std::string text = contents(file);
    EXPECT_LE(text.size(), Tessaly::HeldStdoutSink::maxHeldBytes + 200);
    EXPECT_NE(text.find(" earlier diagnostic messages were dropped"), std::string::npos);
    EXPECT_NE(text.find("x [... "), std::string::npos);
    std::fclose(file);
}

} // namespace
