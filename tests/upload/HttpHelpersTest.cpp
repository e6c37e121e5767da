#include "upload/HttpHelpers.h"

#include <QDateTime>
#include <QLocale>

#include <gtest/gtest.h>

TEST(HttpHelpers, StatusCodeTextsAndSuccess)
{
    const struct {
        int code;
        const char* text; // nullptr: none
        bool success;
    } cases[] = {
        {100, "Continue", false}, {101, nullptr, false}, {200, "OK", true}, {201, "Created", true},
        {202, "Accepted", true}, {203, nullptr, false}, {204, "No Content", true}, {205, nullptr, false},
        {299, nullptr, false}, {303, "See Other", false}, {304, "Not Modified", false},
        {308, "Permanent Redirect", false}, {400, "Bad Request", false}, {401, "Unauthorized", false},
        {402, nullptr, false}, {403, "Forbidden", false}, {404, "Not Found", false},
        {405, "Method Not Allowed", false}, {415, "Unsupported Media Type", false}, {422, nullptr, false},
        {500, "Internal Server Error", false}, {501, "Not Implemented", false}, {502, nullptr, false},
        {503, "Service Unavailable", false}, {505, "HTTP Version Not Supported", false}, {-1, nullptr, false},
    };
    for (const auto& c : cases) {
        const auto code = static_cast<HTTP::StatusCode>(c.code);
        EXPECT_STREQ(HTTP::getMessageForStatusCode(code), c.text) << c.code;
        EXPECT_EQ(HTTP::returnCodeIsSuccess(code), c.success) << c.code;
    }
}

TEST(HttpHelpers, MethodNamesBothWays)
{
    const struct {
        const char* text;
        int method;
    } cases[] = {{"GET", 0}, {"PUT", 1}, {"POST", 2}, {"DELETE", 3}, {"OPTIONS", 4},
                 {"get", 5}, {"Post", 5}, {" GET", 5}, {"PATCH", 5}, {"", 5}};
    for (const auto& c : cases) {
        EXPECT_EQ(static_cast<int>(HTTP::stringToHttpMethod(QString::fromLatin1(c.text))), c.method) << c.text;
        const QString back = HTTP::HttpMethodToString(static_cast<HTTP::Method>(c.method));
        EXPECT_EQ(back, c.method < 5 ? QLatin1String(c.text) : QLatin1String("")) << c.text;
    }
    EXPECT_TRUE(HTTP::HttpMethodToString(static_cast<HTTP::Method>(-1)).isEmpty());
}

TEST(HttpHelpers, DateIsNowInUtcWithEnglishNames)
{
    const qint64 before = QDateTime::currentSecsSinceEpoch();
    const QString text = HTTP::getDateInHttpTimeFormat();
    QDateTime parsed = QLocale::c().toDateTime(text, QStringLiteral("ddd, dd MMM yyyy hh:mm:ss 'GMT'"));
    parsed.setTimeSpec(Qt::UTC);
    ASSERT_TRUE(parsed.isValid()) << text.toStdString();
    EXPECT_GE(parsed.toSecsSinceEpoch(), before) << text.toStdString();
    EXPECT_LE(parsed.toSecsSinceEpoch(), QDateTime::currentSecsSinceEpoch()) << text.toStdString();
}
