#pragma once

#include <QString>

#include <memory>
#include <vector>

// One named element of the datacore tree with its ordered children.
class DatacoreBase {
public:
    explicit DatacoreBase(const QString& instanceName);
    virtual ~DatacoreBase();
    DatacoreBase(const DatacoreBase&) = delete;
    DatacoreBase& operator=(const DatacoreBase&) = delete;

    void addChild(std::shared_ptr<DatacoreBase> child);
    QString getInstanceName() const { return instanceName; }
    const std::vector<std::shared_ptr<DatacoreBase>>& getChildren() const { return children; }

private:
    QString instanceName;
    std::vector<std::shared_ptr<DatacoreBase>> children;
};
