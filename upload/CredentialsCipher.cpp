#include "upload/CredentialsCipher.h"

#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/evp.h>

#include <cstdio>
#include <memory>

namespace CredentialsCipher {

namespace {

struct ContextFree {
    void operator()(EVP_CIPHER_CTX* context) const { EVP_CIPHER_CTX_free(context); }
};

bool fail(QByteArray& clear)
{
    ERR_print_errors_fp(stderr);
    wipe(clear);
    clear.clear();
    return false;
}

} // namespace

bool decrypt(const QByteArray& block, const unsigned char* key, const unsigned char* iv,
             QByteArray& clear)
{
    wipe(clear);
    // CBC never yields more plain text than cipher text.
    clear = QByteArray(block.size(), '\0');
    std::unique_ptr<EVP_CIPHER_CTX, ContextFree> context(EVP_CIPHER_CTX_new());
    if (!context)
        return fail(clear);
    if (EVP_DecryptInit_ex(context.get(), EVP_aes_256_cbc(), nullptr, key, iv) != 1)
        return fail(clear);

    auto* out = reinterpret_cast<unsigned char*>(clear.data());
    int length = 0;
    if (EVP_DecryptUpdate(context.get(), out, &length,
                          reinterpret_cast<const unsigned char*>(block.constData()),
                          block.size()) != 1)
        return fail(clear);
    int finalLength = 0;
    if (EVP_DecryptFinal_ex(context.get(), out + length, &finalLength) != 1)
        return fail(clear);

    const int total = length + finalLength;
    if (total <= 0) {
        wipe(clear);
        clear.clear();
        return false;
    }
    // Wipe the padding bytes before they are cut off.
    OPENSSL_cleanse(out + total, static_cast<std::size_t>(clear.size() - total));
    clear.truncate(total);
    return true;
}

void wipe(QByteArray& bytes)
{
    if (!bytes.isEmpty())
        OPENSSL_cleanse(bytes.data(), static_cast<std::size_t>(bytes.size()));
}

} // namespace CredentialsCipher
