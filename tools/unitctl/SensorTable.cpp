#include "tools/unitctl/SensorTable.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <algorithm>
#include <cfloat>
#include <cstdio>

namespace unitctl {

namespace {

constexpr const char* red = "\033[1;31m";
constexpr const char* normal = "\033[0m";

std::string number(double value)
{
    if (value >= DBL_MAX)
        return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

std::string padded(const std::string& text, size_t width, bool right)
{
    const std::string fill(width > text.size() ? width - text.size() : 0, ' ');
    return right ? fill + text : text + fill;
}

QJsonValue limit(double value)
{
    return value >= DBL_MAX ? QJsonValue() : QJsonValue(value);
}

} // namespace

bool outOfLimits(const Tessaly::sensorData& sensor)
{
    return !sensor.valid || sensor.value < sensor.lowerLimit || sensor.value > sensor.upperLimit;
}

std::string sensorTableText(const std::vector<Tessaly::sensorData>& sensors, bool colour)
{
    size_t labelWidth = 5;
    for (const auto& sensor : sensors)
        labelWidth = std::max(labelWidth, sensor.label.size());
    std::string text = "  " + padded("Label", labelWidth, false) + padded("Value", 12, true) + padded("Lower", 12, true)
                       + padded("Upper", 12, true) + padded("Alarms", 8, true) + "\n";
    for (const auto& sensor : sensors) {
        const bool flagged = outOfLimits(sensor);
        std::string line = (flagged ? "! " : "  ") + padded(sensor.label, labelWidth, false)
                           + padded(sensor.valid ? number(sensor.value) : "invalid", 12, true)
                           + padded(number(sensor.lowerLimit), 12, true) + padded(number(sensor.upperLimit), 12, true)
                           + padded(std::to_string(sensor.alarmCount), 8, true);
        text += (flagged && colour) ? red + line + normal + "\n" : line + "\n";
    }
    return text;
}

std::string sensorTableJson(const std::vector<Tessaly::sensorData>& sensors)
{
    QJsonArray array;
    for (const auto& sensor : sensors) {
        QJsonObject object;
        object["label"] = QString::fromStdString(sensor.label);
        object["value"] = sensor.valid ? QJsonValue(sensor.value) : QJsonValue();
        object["valid"] = sensor.valid;
        object["lowerLimit"] = sensor.lowerLimit;
        object["upperLimit"] = limit(sensor.upperLimit);
        object["lowerOuterLimit"] = sensor.lowerOuterLimit;
        object["upperOuterLimit"] = limit(sensor.upperOuterLimit);
        object["marked"] = sensor.marked;
        object["scale"] = sensor.scale;
        object["alarmCount"] = static_cast<qint64>(sensor.alarmCount);
        object["outOfLimits"] = outOfLimits(sensor);
        array.append(object);
    }
    return QJsonDocument(array).toJson(QJsonDocument::Compact).toStdString() + "\n";
}

} // namespace unitctl
