#include "upload/HttpHelpers.h"

#include <QDateTime>
#include <QLocale>

#include <iterator>

namespace HTTP {

namespace {

struct Reason {
    int code;
    const char* text;
};

constexpr Reason reasons[] = {
    {100, "Continue"},
    {200, "OK"},
    {201, "Created"},
    {202, "Accepted"},
    {204, "No Content"},
    {303, "See Other"},
    {304, "Not Modified"},
    {308, "Permanent Redirect"},
    {400, "Bad Request"},
    {401, "Unauthorized"},
    {403, "Forbidden"},
    {404, "Not Found"},
    {405, "Method Not Allowed"},
    {415, "Unsupported Media Type"},
    {500, "Internal Server Error"},
    {501, "Not Implemented"},
    {503, "Service Unavailable"},
    {505, "HTTP Version Not Supported"},
};

// Indexed by Method.
constexpr const char* methodNames[] = {"GET", "PUT", "POST", "DELETE", "OPTIONS"};

} // namespace

const char* getMessageForStatusCode(StatusCode code)
{
    for (const Reason& reason : reasons) {
        if (reason.code == code)
            return reason.text;
    }
    return nullptr;
}

bool returnCodeIsSuccess(StatusCode code)
{
    return code == OK || code == Created || code == Accepted || code == NoContent;
}

Method stringToHttpMethod(const QString& text)
{
    for (int i = 0; i < static_cast<int>(std::size(methodNames)); ++i) {
        if (text == QLatin1String(methodNames[i]))
            return static_cast<Method>(i);
    }
    return UNKNOWN;
}

QString HttpMethodToString(Method method)
{
    const int index = static_cast<int>(method);
    if (index < 0 || index >= static_cast<int>(std::size(methodNames)))
        return QString();
    return QString::fromLatin1(methodNames[index]);
}

QString getDateInHttpTimeFormat()
{
    // HTTP dates use English names whatever the system's locale.
    return QLocale::c().toString(QDateTime::currentDateTimeUtc(),
                                 QStringLiteral("ddd, dd MMM yyyy hh:mm:ss 'GMT'"));
}

} // namespace HTTP

