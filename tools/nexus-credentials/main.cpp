// nexus-credentials: produces the encrypted credentials block of an artifact
// repository account for DYNELLE_NEXUS_CREDENTIALS_HEX, and opens one again.

#include "tools/nexus-credentials/CredentialsEncryption.h"
#include "upload/CredentialsCipher.h"
#include "upload/KeyDerivation.h"
#include "upload/NexusDeployment.h"
#include "upload/NexusUpload.h"

#include <QByteArray>
#include <QString>

#include <openssl/crypto.h>

#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

namespace {

const char usageText[] =
    "usage: nexus-credentials [--seed N] [--discard N] encrypt USER\n"
    "       nexus-credentials [--seed N] [--discard N] decrypt HEX\n"
    "\n"
    "encrypt  reads the password from standard input (one line) and prints the\n"
    "         encrypted block in hex, ready for -DDYNELLE_NEXUS_CREDENTIALS_HEX=...\n"
    "decrypt  prints the USER:PASSWORD that a block holds\n"
    "--seed, --discard  key derivation values (default: this build's,\n"
    "         DYNELLE_NEXUS_SEED and DYNELLE_NEXUS_DISCARD)\n";

int usage()
{
    std::fputs(usageText, stderr);
    return 2;
}

bool parseNumber(const char* text, unsigned long long limit, unsigned long long& value)
{
    if (!text || !*text || std::strspn(text, "0123456789") != std::strlen(text))
        return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtoull(text, &end, 10);
    return errno == 0 && value <= limit;
}

// Reads one line, without echo when standard input is a terminal.
std::string readPassword()
{
    termios saved{};
    const bool terminal = isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &saved) == 0;
    if (terminal) {
        std::fputs("Password: ", stderr);
        termios quiet = saved;
        quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
        tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    std::string line;
    std::getline(std::cin, line);
    if (terminal) {
        tcsetattr(STDIN_FILENO, TCSANOW, &saved);
        std::fputs("\n", stderr);
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

} // namespace

int main(int argc, char* argv[])
{
    unsigned long long seed = NexusDeployment::seed;
    unsigned long long discard = NexusDeployment::discard;
    int index = 1;
    while (index + 1 < argc && std::strncmp(argv[index], "--", 2) == 0) {
        const std::string option = argv[index];
        unsigned long long* target = option == "--seed" ? &seed : option == "--discard" ? &discard : nullptr;
        const unsigned long long limit = option == "--seed" ? 0xFFFFFFFFull : 100000000ull;
        if (!target || !parseNumber(argv[index + 1], limit, *target)) {
            std::fprintf(stderr, "nexus-credentials: bad option %s %s\n", argv[index], argv[index + 1]);
            return usage();
        }
        index += 2;
    }
    if (argc - index != 2)
        return usage();
    const std::string command = argv[index];
    const QByteArray argument = QByteArray(argv[index + 1]);

    std::array<unsigned char, NexusUpload::keySize> key{};
    std::array<unsigned char, NexusUpload::ivSize> iv{};
    KeyDerivation::derive(static_cast<std::uint32_t>(seed), discard, key.data(), key.size(),
                          iv.data(), iv.size());
    int status = 0;

    if (command == "encrypt") {
        std::string password = readPassword();
        if (argument.isEmpty() || argument.contains(':') || password.empty()) {
            std::fputs("nexus-credentials: the user must be non-empty without ':' and the password non-empty\n",
                        stderr);
            status = 1;
        } else {
            QByteArray clear = argument + ':' + QByteArray::fromStdString(password);
            const QByteArray block = encryptCredentials(clear, key.data(), iv.data());
            CredentialsCipher::wipe(clear);
            if (block.isEmpty()) {
                status = 1;
            } else {
                std::printf("%s\n", block.toHex().constData());
                std::fprintf(stderr, "%d-byte block for seed %llu, discard %llu\n", block.size(), seed,
                             discard);
            }
        }
        OPENSSL_cleanse(password.data(), password.size());
    } else if (command == "decrypt") {
        const QByteArray block = QByteArray::fromHex(argument);
        QByteArray clear;
        if (block.isEmpty() || block.size() % 16 != 0 || block.toHex() != argument.toLower()) {
            std::fputs("nexus-credentials: the block must be whole 16-byte cipher blocks in hex\n", stderr);
            status = 1;
        } else if (!CredentialsCipher::decrypt(block, key.data(), iv.data(), clear)) {
            std::fputs("nexus-credentials: the block does not decrypt with these keys\n", stderr);
            status = 1;
        } else {
            std::printf("%s\n", clear.constData());
        }
        CredentialsCipher::wipe(clear);
    } else {
        status = usage();
    }
    OPENSSL_cleanse(key.data(), key.size());
    OPENSSL_cleanse(iv.data(), iv.size());
    return status;
}
