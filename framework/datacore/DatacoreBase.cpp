#include "framework/datacore/DatacoreBase.h"

DatacoreBase::DatacoreBase(const QString& instanceName) : instanceName(instanceName) {}

DatacoreBase::~DatacoreBase() = default;

void DatacoreBase::addChild(std::shared_ptr<DatacoreBase> child)
{
    if (child)
        children.push_back(std::move(child));
}
