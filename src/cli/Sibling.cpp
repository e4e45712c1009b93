#include "Sibling.h"

#include "FdSink.h"
#include "Platform.h"

#include <cerrno>
#include <cstring>
#include <utility>

namespace velmorin::cli {

namespace {

// The running program's folder: what the shell's search path or a relative argv[0] say does
// not matter.
std::optional<std::string> ownFolder()
{
    std::optional<std::string> path = platform::ownPath();
    if (!path)
        return std::nullopt;
    std::string folder = std::move(*path);
    const std::size_t slash = folder.find_last_of(platform::kPathSeparators);
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
        const std::string candidate =
            *folder + relative + std::string(name) + std::string(platform::kProgramSuffix);
        if (platform::isProgram(candidate))
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
    platform::runInstead(*path, argv);
    return "le programme " + std::string(name) + " ne démarre pas (" + systemErrorText(errno) + ")";
}

} // namespace velmorin::cli
