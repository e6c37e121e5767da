#pragma once

#include <QByteArray>

// AES-256-CBC with PKCS#7 padding: the counterpart of
// CredentialsCipher::decrypt(). Returns an empty array on failure.
QByteArray encryptCredentials(const QByteArray& clear, const unsigned char* key,
                              const unsigned char* iv);
