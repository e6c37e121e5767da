#pragma once

#include <QString>

// Small HTTP vocabulary carried beside the upload client.
namespace HTTP {

enum Method : int { GET = 0, PUT = 1, POST = 2, DELETE = 3, OPTIONS = 4, UNKNOWN = 5 };

// Any numeric status code; the names cover the codes with a reason text.
enum StatusCode : int {
    Continue = 100,
    OK = 200,
    Created = 201,
    Accepted = 202,
    NoContent = 204,
    SeeOther = 303,
    NotModified = 304,
    PermanentRedirect = 308,
    BadRequest = 400,
    Unauthorized = 401,
    Forbidden = 403,
    NotFound = 404,
    MethodNotAllowed = 405,
    UnsupportedMediaType = 415,
    InternalServerError = 500,
    NotImplemented = 501,
    ServiceUnavailable = 503,
    HttpVersionNotSupported = 505,
};

// Reason text, or nullptr for a code without one.
const char* getMessageForStatusCode(StatusCode code);
// 200, 201, 202 and 204 only.
bool returnCodeIsSuccess(StatusCode code);
// Exact, case-sensitive; UNKNOWN for anything else.
Method stringToHttpMethod(const QString& text);
// Empty for a value outside GET..OPTIONS.
QString HttpMethodToString(Method method);
// Now, in UTC, as "ddd, dd MMM yyyy hh:mm:ss 'GMT'".
QString getDateInHttpTimeFormat();

} // namespace HTTP
