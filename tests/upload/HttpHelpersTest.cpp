#include "upload/HttpHelpers.h"

#include <QDateTime>
#include <QLocale>

#include <gtest/gtest.h>

TEST(HttpHelpers, StatusTextsAndTheSuccessRule)
{
    const struct {
        int code;
        const char* text; // nullptr: none
        bool success;
    } cases[] = {{200, "OK", true},       {202, "Accepted", true},         {203, nullptr, false},
                 {204, "No Content", true}, {205, nullptr, false},         {401, "Unauthorized", false},
                 {422, nullptr, false},     {505, "HTTP Version Not Supported", false}, {-1, nullptr, false}};
    for (const auto& c : cases) {
        EXPECT_STREQ(HTTP::getMessageForStatusCode(static_cast<HTTP::StatusCode>(c.code)), c.text) << c.code;
        EXPECT_EQ(HTTP::returnCodeIsSuccess(static_cast<HTTP::StatusCode>(c.code)), c.success) << c.code;
    }
}

TEST(HttpHelpers, MethodNamesBothWaysExactly)
{
    for (const char* name : {"GET", "PUT", "POST", "DELETE", "OPTIONS"})
        EXPECT_EQ(HTTP::HttpMethodToString(HTTP::stringToHttpMethod(name)), QLatin1String(name));
    for (const char* other : {"get", " GET", "PATCH", ""})
        EXPECT_EQ(HTTP::stringToHttpMethod(other), HTTP::UNKNOWN) << other;
    EXPECT_TRUE(HTTP::HttpMethodToString(HTTP::UNKNOWN).isEmpty());
}

TEST(HttpHelpers, DateIsNowInUtcWithEnglishNames)
{
    const qint64 before = QDateTime::currentSecsSinceEpoch();
    const QString text = HTTP::getDateInHttpTimeFormat();
    QDateTime parsed = QLocale::c().toDateTime(text, QStringLiteral("ddd, dd MMM yyyy hh:mm:ss 'GMT'"));
    parsed.setTimeSpec(Qt::UTC);
    EXPECT_GE(parsed.toSecsSinceEpoch(), before) << text.toStdString();
    EXPECT_LE(parsed.toSecsSinceEpoch(), QDateTime::currentSecsSinceEpoch()) << text.toStdString();
}
