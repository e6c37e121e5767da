#include "upload/ProductionArtifactsNexusRepo.h"

#include "upload/NexusDeployment.h"

QString ProductionArtifactsNexusRepo::generateTargetDir(const QString& model, const QString& serial,
                                                        const QString& program)
{
    return QStringLiteral("/%1/%2/%3/").arg(model, serial, program);
}

bool ProductionArtifactsNexusRepo::upload(const QString& filePath, const QString& directory)
{
    return upload(credentials(), endpoint(), filePath, directory);
}

QString ProductionArtifactsNexusRepo::endpoint()
{
    return QStringLiteral("https://%1/service/rest/v1/components?repository=kw_production_artifacts")
        .arg(QLatin1String(NexusDeployment::host));
}

QByteArray ProductionArtifactsNexusRepo::credentials()
{
    return QByteArray(reinterpret_cast<const char*>(NexusDeployment::credentials),
                      static_cast<int>(sizeof NexusDeployment::credentials));
}
