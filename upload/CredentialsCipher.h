#pragma once

#include <QByteArray>

namespace CredentialsCipher {

// Decrypts an AES-256-CBC block (PKCS#7 padding) under `key` (32 bytes) and
// `iv` (16 bytes) into `clear`. On failure OpenSSL's error queue goes to
// standard error and false is returned; a block that decrypts to nothing
// fails too. `clear` holds secrets: the caller wipes it with wipe().
bool decrypt(const QByteArray& block, const unsigned char* key, const unsigned char* iv,
             QByteArray& clear);

// Overwrites every byte of `bytes` with zero, in a way the optimiser keeps.
void wipe(QByteArray& bytes);

} // namespace CredentialsCipher
