#pragma once

#include <QByteArray>
#include <QString>

#include <array>

// Posts one file to an artifact repository's raw component endpoint with
// Basic authorisation, a bounded wait and up to three tries. The credentials
// arrive encrypted; the key that opens them exists only during upload().
class NexusUpload {
public:
    static constexpr int keySize = 32;
    static constexpr int ivSize = 16;
    static constexpr int maxTries = 3;
    static constexpr int tryTimeoutMs = 10000;

    NexusUpload();
    ~NexusUpload();

    void createKeys();
    void wipeKeys();

    bool uploadSingleTry(const QByteArray& credentials, const QString& url,
                         const QString& filePath, const QString& directory);
    bool upload(const QByteArray& credentials, const QString& url,
                const QString& filePath, const QString& directory);

    // Zero except between createKeys() and wipeKeys().
    std::array<unsigned char, keySize> key;
    std::array<unsigned char, ivSize> iv;
};
