#pragma once

#include <QList>
#include <QPair>
#include <QString>

// What software runs on this unit and which boards are fitted: thirteen
// (label, value) pairs gathered once per process.
class VersionInfo {
public:
    using Pairs = QList<QPair<QString, QString>>;

    static VersionInfo& getInstance();
    // 1 when the main board id is above 63, otherwise 0.
    static int device();

    const Pairs& getVersionInfo() const { return m_pairs; }
    // The value of the pair with this label; empty when there is none.
    QString value(const QString& label) const;

    VersionInfo(const VersionInfo&) = delete;
    VersionInfo& operator=(const VersionInfo&) = delete;

private:
    VersionInfo();
    void set(const QString& label, const QString& value);

    Pairs m_pairs;
};
