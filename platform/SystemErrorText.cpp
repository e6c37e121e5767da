#include "platform/SystemErrorText.h"

#include <cerrno>
#include <cstring>

const char* systemErrorText()
{
    return std::strerror(errno);
}
