#pragma once

// The words the cup file's refusals share: the file named as the organiser sees it, and the
// sentences several steps give. Private to the cup store's sources.

#include <QString>

#include <string>

namespace velmorin::cupstoreprivate {

// "« coupe.velmorin »": the file's own name, never its folders.
std::string nameOf(const QString &path);
std::string quoted(const std::string &text);
std::string notACup(const QString &path);
std::string damaged(const QString &path);

} // namespace velmorin::cupstoreprivate
