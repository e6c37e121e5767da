#include "framework/datacore/DatacorePathRadixTreePacket.h"

#include <QJsonArray>
#include <QJsonValue>

namespace {

const QString clientIdKey = QStringLiteral("ClientId");
const QString statusKey = QStringLiteral("StatusTreeObject");
const QString nonPersistentConfigKey = QStringLiteral("NonPersistentConfigTreeObject");
const QString configKey = QStringLiteral("ConfigTreeObject");
const QString commandKey = QStringLiteral("CommandTreeObject");
const QString persistentConfigKey = QStringLiteral("PersistentConfigTreeObject");
const QString coreKey = QStringLiteral("Core");
const QString kidsKey = QStringLiteral("Kids");

} // namespace

DatacorePathRadixTreePacket::DatacorePathRadixTreePacket()
    : SerialisableDataPacket(QStringLiteral("DatacorePathRadixTreePacket"))
{
}

DatacorePathRadixTreePacket::DatacorePathRadixTreePacket(QString className) : SerialisableDataPacket(className) {}

DatacorePathRadixTreePacket::~DatacorePathRadixTreePacket() = default;

void DatacorePathRadixTreePacket::setDestinationClientId(const QString& id) { jsonObject.insert(clientIdKey, id); }

QString DatacorePathRadixTreePacket::getDestinationClientId() const
{
    return jsonObject.value(clientIdKey).toString();
}

bool DatacorePathRadixTreePacket::containsClientId() const { return jsonObject.value(clientIdKey).isString(); }

void DatacorePathRadixTreePacket::setStatusTree(const DatacoreBase& root) { setTree(statusKey, root); }
void DatacorePathRadixTreePacket::setNonPersistentConfigTree(const DatacoreBase& root)
{
    setTree(nonPersistentConfigKey, root);
}
void DatacorePathRadixTreePacket::setConfigTree(const DatacoreBase& root) { setTree(configKey, root); }
void DatacorePathRadixTreePacket::setCommandTree(const DatacoreBase& root) { setTree(commandKey, root); }
void DatacorePathRadixTreePacket::setPersistentConfigTree(const DatacoreBase& root)
{
    setTree(persistentConfigKey, root);
}

bool DatacorePathRadixTreePacket::containsStatusTree() const { return containsTree(statusKey); }
bool DatacorePathRadixTreePacket::containsNonPersistentConfigTree() const
{
    return containsTree(nonPersistentConfigKey);
}
bool DatacorePathRadixTreePacket::containsConfigTree() const { return containsTree(configKey); }
bool DatacorePathRadixTreePacket::containsCommandTree() const { return containsTree(commandKey); }
bool DatacorePathRadixTreePacket::containsPersistentConfigTree() const { return containsTree(persistentConfigKey); }

DatacoreRadixTreeNode DatacorePathRadixTreePacket::getRootNodeForStatusTree() const { return getTree(statusKey); }
DatacoreRadixTreeNode DatacorePathRadixTreePacket::getRootNodeForNonPersistentConfigTree() const
{
    return getTree(nonPersistentConfigKey);
}
DatacoreRadixTreeNode DatacorePathRadixTreePacket::getRootNodeForConfigTree() const { return getTree(configKey); }
DatacoreRadixTreeNode DatacorePathRadixTreePacket::getRootNodeForCommandTree() const { return getTree(commandKey); }
DatacoreRadixTreeNode DatacorePathRadixTreePacket::getRootNodeForPersistentConfigTree() const
{
    return getTree(persistentConfigKey);
}

QJsonObject DatacorePathRadixTreePacket::getDatacoreAsObjectContainingAllOfItsChildren(
    const DatacoreBase& element) const
{
    QJsonObject node;
    node.insert(coreKey, element.getInstanceName());
    QJsonArray kids;
    for (const auto& child : element.getChildren())
        kids.append(getDatacoreAsObjectContainingAllOfItsChildren(*child));
    if (!kids.isEmpty())
        node.insert(kidsKey, kids);
    return node;
}

DatacoreRadixTreeNode DatacorePathRadixTreePacket::getRadixTreeFromJson(const QJsonObject& node) const
{
    // Parsed JSON is at most 1024 levels deep (the parser's own limit), so
    // the recursion is bounded for anything that arrived over the link.
    DatacoreRadixTreeNode result;
    result.name = node.value(coreKey).toString();
    const QJsonArray kids = node.value(kidsKey).toArray();
    result.children.reserve(size_t(kids.size()));
    for (const QJsonValue& kid : kids)
        result.children.push_back(getRadixTreeFromJson(kid.toObject()));
    return result;
}

void DatacorePathRadixTreePacket::setTree(const QString& key, const DatacoreBase& root)
{
    jsonObject.insert(key, getDatacoreAsObjectContainingAllOfItsChildren(root));
}

bool DatacorePathRadixTreePacket::containsTree(const QString& key) const { return jsonObject.value(key).isObject(); }

DatacoreRadixTreeNode DatacorePathRadixTreePacket::getTree(const QString& key) const
{
    return getRadixTreeFromJson(jsonObject.value(key).toObject());
}
