#include "tools/nexus-credentials/CredentialsEncryption.h"

#include <openssl/err.h>
#include <openssl/evp.h>

#include <cstdio>
#include <memory>

namespace {

struct ContextFree {
    void operator()(EVP_CIPHER_CTX* context) const { EVP_CIPHER_CTX_free(context); }
};

} // namespace

QByteArray encryptCredentials(const QByteArray& clear, const unsigned char* key,
                              const unsigned char* iv)
{
    std::unique_ptr<EVP_CIPHER_CTX, ContextFree> context(EVP_CIPHER_CTX_new());
    const int blockSize = 16;
    QByteArray block(clear.size() + blockSize, '\0');
    auto* out = reinterpret_cast<unsigned char*>(block.data());
    int length = 0;
    int finalLength = 0;
    if (!context
        || EVP_EncryptInit_ex(context.get(), EVP_aes_256_cbc(), nullptr, key, iv) != 1
        || EVP_EncryptUpdate(context.get(), out, &length,
                             reinterpret_cast<const unsigned char*>(clear.constData()),
                             clear.size()) != 1
        || EVP_EncryptFinal_ex(context.get(), out + length, &finalLength) != 1) {
        ERR_print_errors_fp(stderr);
        return QByteArray();
    }
    block.truncate(length + finalLength);
    return block;
}
