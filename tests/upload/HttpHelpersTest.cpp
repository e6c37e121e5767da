#include "upload/HttpHelpers.h"
#include <QDateTime>
#include <QLocale>
#include <gtest/gtest.h>
#include <climits>
#include <map>

using HTTP::Method;
using HTTP::StatusCode;

// Every code from below 100 to past 599 and the int extremes: a reason text
// exactly for the codes that have one, success exactly at 200, 201, 202, 204.
TEST(HttpStatus, ReasonTextsAndSuccessOverTheWholeRange)
{
    const std::map<int, const char*> reasons = {
        {100, "Continue"}, {200, "OK"}, {201, "Created"}, {202, "Accepted"}, {204, "No Content"},
        {303, "See Other"}, {304, "Not Modified"}, {308, "Permanent Redirect"}, {400, "Bad Request"},
        {401, "Unauthorized"}, {403, "Forbidden"}, {404, "Not Found"}, {405, "Method Not Allowed"},
        {415, "Unsupported Media Type"}, {500, "Internal Server Error"}, {501, "Not Implemented"},
        {503, "Service Unavailable"}, {505, "HTTP Version Not Supported"}};
    std::vector<int> codes = {INT_MIN, -1, 0, INT_MAX};
    for (int code = 90; code <= 610; ++code)
        codes.push_back(code);
    for (const int code : codes) {
        const auto status = static_cast<StatusCode>(code);
        const auto reason = reasons.find(code);
        if (reason == reasons.end())
            EXPECT_EQ(HTTP::getMessageForStatusCode(status), nullptr) << code;
        else
            EXPECT_STREQ(HTTP::getMessageForStatusCode(status), reason->second) << code;
        EXPECT_EQ(HTTP::returnCodeIsSuccess(status), code == 200 || code == 201 || code == 202 || code == 204) << code;
    }
}

TEST(HttpMethod, NamesMatchExactlyAndOnlyTheFiveMethodsHaveOne)
{
    const std::pair<const char*, int> texts[] = {
        {"GET", 0}, {"PUT", 1}, {"POST", 2}, {"DELETE", 3}, {"OPTIONS", 4},
        {"get", 5}, {"Post", 5}, {" GET", 5}, {"GET ", 5}, {"GET\n", 5}, {"", 5}, {"HEAD", 5}, {"PATCH", 5}};
    for (const auto& [text, method] : texts)
        EXPECT_EQ(HTTP::stringToHttpMethod(QString::fromLatin1(text)), method) << '"' << text << '"';
    const std::pair<int, const char*> names[] = {
        {0, "GET"}, {1, "PUT"}, {2, "POST"}, {3, "DELETE"}, {4, "OPTIONS"}, {5, ""}, {6, ""}, {-1, ""}, {INT_MAX, ""}, {INT_MIN, ""}};
    for (const auto& [method, name] : names)
        EXPECT_EQ(HTTP::HttpMethodToString(static_cast<Method>(method)), QString::fromLatin1(name)) << method;
}

// English names whatever the process locale says, and the present time in UTC.
TEST(HttpDate, PresentTimeInUtcWithEnglishNames)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-1);
    const QString text = HTTP::getDateInHttpTimeFormat();
    const QDateTime after = QDateTime::currentDateTimeUtc().addSecs(1);
    QLocale::setDefault(previous);
    QDateTime parsed = QLocale::c().toDateTime(text, QStringLiteral("ddd, dd MMM yyyy hh:mm:ss 'GMT'"));
    parsed.setTimeSpec(Qt::UTC);
    ASSERT_TRUE(parsed.isValid()) << text.toStdString();
    EXPECT_TRUE(before <= parsed && parsed <= after) << text.toStdString();
    EXPECT_EQ(text.size(), 29) << text.toStdString();
}
