#include "PseudoTerminal.h"

#include "logging/SystemError.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

static std::string systemError(const std::string& what)
{
    return Tessaly::SystemError::last().message(what);
}

PseudoTerminal::~PseudoTerminal()
{
    removeLink();
    if (slaveFd >= 0)
        ::close(slaveFd);
    if (masterFd >= 0)
        ::close(masterFd);
}

bool PseudoTerminal::create(std::string& error)
{
    masterFd = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (masterFd < 0) {
        error = systemError("posix_openpt");
        return false;
    }
    if (::grantpt(masterFd) != 0 || ::unlockpt(masterFd) != 0) {
        error = systemError("grantpt/unlockpt");
        return false;
    }
    const char* name = ::ptsname(masterFd);
    if (name == nullptr) {
        error = systemError("ptsname");
        return false;
    }
    slaveName = name;
    slaveFd = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slaveFd < 0) {
        error = systemError("open " + slaveName);
        return false;
    }
    struct termios attributes {};
    if (::tcgetattr(slaveFd, &attributes) != 0) {
        error = systemError("tcgetattr " + slaveName);
        return false;
    }
    ::cfmakeraw(&attributes);
    if (::tcsetattr(slaveFd, TCSANOW, &attributes) != 0) {
        error = systemError("tcsetattr " + slaveName);
        return false;
    }
    return true;
}

bool PseudoTerminal::linkAt(const std::string& path, bool force, std::string& error)
{
    struct stat existing {};
    if (::lstat(path.c_str(), &existing) == 0) {
        if (!S_ISLNK(existing.st_mode) && !force) {
            error = path + " exists and is not a link (a real board?); use --force to replace it";
            return false;
        }
        if (::unlink(path.c_str()) != 0) {
            error = systemError("unlink " + path);
            return false;
        }
    }
    if (::symlink(slaveName.c_str(), path.c_str()) != 0) {
        error = systemError("symlink " + path);
        return false;
    }
    linkName = path;
    return true;
}

void PseudoTerminal::removeLink()
{
    if (linkName.empty())
        return;
    char target[PATH_MAX];
    const ssize_t length = ::readlink(linkName.c_str(), target, sizeof target - 1);
    if (length > 0 && slaveName == std::string(target, static_cast<size_t>(length)))
        ::unlink(linkName.c_str());
    linkName.clear();
}

void PseudoTerminal::vanish()
{
    removeLink();
    if (slaveFd >= 0)
        ::close(slaveFd);
    if (masterFd >= 0)
        ::close(masterFd);
    slaveFd = -1;
    masterFd = -1;
    lockHeld = false;
}

bool PseudoTerminal::setLocked(bool locked, std::string& error)
{
    if (slaveFd < 0) {
        error = "the device has vanished";
        return false;
    }
    struct flock lock {};
    lock.l_type = locked ? F_WRLCK : F_UNLCK;
    lock.l_whence = SEEK_SET;
    if (::fcntl(slaveFd, F_SETLK, &lock) != 0) {
        error = systemError("fcntl F_SETLK");
        return false;
    }
    lockHeld = locked;
    return true;
}
