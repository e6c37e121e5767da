#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// The artifact repository stand-in (tools/nexus-standin) started on a free
// loopback port with fresh storage; `error` says why when it did not come up.
// The first start makes a throw-away certificate authority and trusts it in
// Qt's default SSL configuration for the rest of the process.
class StandIn {
public:
    explicit StandIn(const QStringList& extraArguments);
    ~StandIn();

    QString url(const QString& query = QStringLiteral("repository=kw_production_artifacts")) const;
    QString storedPath(const QString& pathInRepository) const;
    // Everything printed so far, once the output has settled for a moment.
    QStringList output();

    QString error;

private:
    QTemporaryDir storage;
    QProcess process;
    QByteArray printed;
    int port = 0;
};

// The deployment's credentials in clear ("user:password"), decrypted with the
// program's own key derivation.
QByteArray deploymentCredentialsInClear();
