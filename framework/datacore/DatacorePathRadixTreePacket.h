#pragma once

#include "framework/datacore/DatacoreBase.h"
#include "framework/datacore/SerialisableDataPacket.h"

#include <QJsonObject>
#include <QString>

#include <vector>

// The shape of a datacore tree read back from a packet: names only.
struct DatacoreRadixTreeNode {
    QString name;
    std::vector<DatacoreRadixTreeNode> children;
};

// Carries the shape of up to five datacore trees, each as nested
// {"Core": name, "Kids": [...]} objects, for one destination client.
class DatacorePathRadixTreePacket : public SerialisableDataPacket {
public:
    DatacorePathRadixTreePacket();
    DatacorePathRadixTreePacket(QString className);
    ~DatacorePathRadixTreePacket() override;
    DatacorePathRadixTreePacket(const DatacorePathRadixTreePacket&) = default;
    DatacorePathRadixTreePacket(DatacorePathRadixTreePacket&&) = default;
    DatacorePathRadixTreePacket& operator=(const DatacorePathRadixTreePacket&) = default;
    DatacorePathRadixTreePacket& operator=(DatacorePathRadixTreePacket&&) = default;

    void setDestinationClientId(const QString& id);
    QString getDestinationClientId() const;
    bool containsClientId() const;

    void setStatusTree(const DatacoreBase& root);
    void setNonPersistentConfigTree(const DatacoreBase& root);
    void setConfigTree(const DatacoreBase& root);
    void setCommandTree(const DatacoreBase& root);
    void setPersistentConfigTree(const DatacoreBase& root);

    bool containsStatusTree() const;
    bool containsNonPersistentConfigTree() const;
    bool containsConfigTree() const;
    bool containsCommandTree() const;
    bool containsPersistentConfigTree() const;

    DatacoreRadixTreeNode getRootNodeForStatusTree() const;
    DatacoreRadixTreeNode getRootNodeForNonPersistentConfigTree() const;
    DatacoreRadixTreeNode getRootNodeForConfigTree() const;
    DatacoreRadixTreeNode getRootNodeForCommandTree() const;
    DatacoreRadixTreeNode getRootNodeForPersistentConfigTree() const;

    QJsonObject getDatacoreAsObjectContainingAllOfItsChildren(const DatacoreBase& element) const;
    DatacoreRadixTreeNode getRadixTreeFromJson(const QJsonObject& node) const;

private:
    void setTree(const QString& key, const DatacoreBase& root);
    bool containsTree(const QString& key) const;
    DatacoreRadixTreeNode getTree(const QString& key) const;
};

template <>
struct fmt::formatter<DatacorePathRadixTreePacket> : fmt::ostream_formatter {};
