#pragma once

#include <QStringList>
#include <QtGlobal>

#include <algorithm>

// Captures the upload's own messages on Qt's debug channel while alive.
class DebugMessages {
public:
    DebugMessages() : previous(qInstallMessageHandler(capture)) { captured().clear(); }
    ~DebugMessages() { qInstallMessageHandler(previous); }

    QStringList upload() const { return captured(); }

private:
    static QStringList& captured()
    {
        static QStringList messages;
        return messages;
    }
    static void capture(QtMsgType, const QMessageLogContext&, const QString& message)
    {
        // Qt's own warnings (TLS, sockets) are not the upload's.
        if (message.startsWith(QLatin1String("nexusUpload()")) || message == QLatin1String("Could not open file"))
            captured().append(message);
    }

    QtMessageHandler previous;
};

template <typename Upload>
bool keysWiped(const Upload& upload)
{
    auto zero = [](unsigned char b) { return b == 0; };
    return std::all_of(upload.key.begin(), upload.key.end(), zero) && std::all_of(upload.iv.begin(), upload.iv.end(), zero);
}
