#include "upload/HttpHelpers.h"

#include <QDateTime>
#include <QLocale>

#include <gtest/gtest.h>

TEST(HttpHelpers, StatusTextsSuccessRuleMethodNamesAndDate)
{
    const struct {
        int code;
        const char* text; // nullptr: none
        bool success;
    } codes[] = {{200, "OK", true},          {202, "Accepted", true}, {203, nullptr, false},
                 {204, "No Content", true},  {205, nullptr, false},   {401, "Unauthorized", false},
                 {422, nullptr, false},      {505, "HTTP Version Not Supported", false}, {-1, nullptr, false}};
    for (const auto& c : codes) {
        EXPECT_STREQ(HTTP::getMessageForStatusCode(HTTP::StatusCode(c.code)), c.text) << c.code;
        EXPECT_EQ(HTTP::returnCodeIsSuccess(HTTP::StatusCode(c.code)), c.success) << c.code;
    }

    for (const char* name : {"GET", "PUT", "POST", "DELETE", "OPTIONS"})
        EXPECT_EQ(HTTP::HttpMethodToString(HTTP::stringToHttpMethod(name)), QLatin1String(name));
    for (const char* other : {"get", " GET", "PATCH", ""})
        EXPECT_EQ(HTTP::stringToHttpMethod(other), HTTP::UNKNOWN) << other;
    EXPECT_TRUE(HTTP::HttpMethodToString(HTTP::UNKNOWN).isEmpty());

    // Now, in UTC with English names.
    const qint64 before = QDateTime::currentSecsSinceEpoch();
    const QString date = HTTP::getDateInHttpTimeFormat();
    const qint64 parsed = QLocale::c().toDateTime(date + " +0000", "ddd, dd MMM yyyy hh:mm:ss 'GMT' t").toSecsSinceEpoch();
    EXPECT_TRUE(parsed >= before && parsed <= QDateTime::currentSecsSinceEpoch()) << date.toStdString();
}
