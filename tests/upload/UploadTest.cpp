#include "tests/upload/StandIn.h"
#include "upload/HttpHelpers.h"
#include <QDateTime>
#include <QHostAddress>
#include <QLocale>
#include <QTcpServer>
#include <climits>

TEST_F(Upload, MissingFileSucceedsAfterOneTryWithoutContactingTheServer)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    EXPECT_TRUE(repo.upload(ProductionArtifactsNexusRepo::credentials(),
                            QStringLiteral("https://127.0.0.1:%1/service/rest/v1/components").arg(server.serverPort()),
                            directory.filePath("absent.txt"), "/TR417/1/x/"));
    EXPECT_EQ(messages, QStringList{"Could not open file"});
    EXPECT_FALSE(server.waitForNewConnection(300));
}

// The account's password must not be recoverable with `strings`.
TEST(BuiltProgram, HoldsTheCredentialsOnlyEncrypted)
{
    const QByteArray clear = openCredentials(ProductionArtifactsNexusRepo::credentials());
    const int colon = clear.indexOf(':');
    ASSERT_GT(colon, 0);
    ASSERT_TRUE(QFile::exists(DYNELLE_UPLOAD_ARCHIVE));
    for (const char* path : {DYNELLE_UPLOAD_ARCHIVE, DYNELLE_PROGRAM_BINARY}) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue; // the program may not be linked yet
        const QByteArray bytes = file.readAll();
        // Finding the block proves the scan reads the file that carries it.
        EXPECT_TRUE(bytes.contains(ProductionArtifactsNexusRepo::credentials())) << path;
        for (const QByteArray& needle : {clear.left(colon), clear.mid(colon + 1), clear.toBase64()})
            EXPECT_FALSE(bytes.contains(needle)) << path;
    }
}

// Success exactly at 200, 201, 202 and 204; lookups out of range find nothing.
TEST(HttpHelpers, SuccessCodesReasonsAndMethodNames)
{
    const struct { int code; const char* reason; bool success; } codes[] = {
        {INT_MIN, nullptr, false}, {-1, nullptr, false}, {99, nullptr, false}, {100, "Continue", false},
        {200, "OK", true}, {201, "Created", true}, {202, "Accepted", true}, {203, nullptr, false},
        {204, "No Content", true}, {205, nullptr, false}, {404, "Not Found", false},
        {505, "HTTP Version Not Supported", false}, {600, nullptr, false}, {INT_MAX, nullptr, false}};
    for (const auto& [code, reason, success] : codes) {
        const auto status = static_cast<HTTP::StatusCode>(code);
        EXPECT_EQ(HTTP::returnCodeIsSuccess(status), success) << code;
        EXPECT_STREQ(HTTP::getMessageForStatusCode(status), reason) << code;
    }
    const std::pair<const char*, int> texts[] = {
        {"GET", 0}, {"OPTIONS", 4}, {"get", 5}, {" GET", 5}, {"GET\n", 5}, {"", 5}, {"HEAD", 5}};
    for (const auto& [text, method] : texts)
        EXPECT_EQ(HTTP::stringToHttpMethod(QString::fromLatin1(text)), method) << '"' << text << '"';
    const std::pair<int, const char*> names[] = {{0, "GET"}, {4, "OPTIONS"}, {5, ""}, {-1, ""}, {INT_MAX, ""}, {INT_MIN, ""}};
    for (const auto& [method, name] : names)
        EXPECT_EQ(HTTP::HttpMethodToString(static_cast<HTTP::Method>(method)), QString::fromLatin1(name)) << method;
}

// English names whatever the process locale says, and the present time in UTC.
TEST(HttpHelpers, DateIsThePresentTimeInUtcWithEnglishNames)
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
