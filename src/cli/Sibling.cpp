#include "Sibling.h"

#include "FdSink.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <unistd.h>

namespace velmorin::cli {

namespace {

// The running program's folder, from /proc/self/exe: what the shell's search path or a
// relative argv[0] say does not matter.
std::optional<std::string> ownFolder()
{
    char path[PATH_MAX];
    const ssize_t size = readlink("/proc/self/exe", path, sizeof path);
    if (size <= 0 || static_cast<std::size_t>(size) >= sizeof path)
        return std::nullopt;
    std::string folder(path, static_cast<std::size_t>(size));
    const std::size_t slash = folder.find_last_of('/');
    if (slash == std::string::npos)
        return std::nullopt;
    folder.resize(slash + 1);
    return folder;
}

} // namespace

std::optional<std::string> siblingPath(std::string_view name)
{
    const std::optional<std::string> folder = ownFolder();
    if (!folder)
        return std::nullopt;
    for (const char *relative : {"", VELMORIN_LIBEXEC_FROM_BIN "/"}) {
        const std::string candidate = *folder + relative + std::string(name);
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return std::nullopt;
}

std::string execSibling(std::string_view name, char *const argv[])
{
    const std::optional<std::string> path = siblingPath(name);
    if (!path)
        return "le programme " + std::string(name) +
               " est introuvable à côté de velmorin-calc (installation incomplète ?)";
    execv(path->c_str(), argv);
    return "le programme " + std::string(name) + " ne démarre pas (" + systemErrorText(errno) + ")";
}

} // namespace velmorin::cli
