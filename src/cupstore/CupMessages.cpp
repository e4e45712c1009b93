// The words the cup file's refusals share.

#include "CupMessages.h"

#include <QFileInfo>

namespace velmorin::cupstoreprivate {

std::string nameOf(const QString &path)
{
    return quoted(QFileInfo(path).fileName().toStdString());
}

std::string quoted(const std::string &text)
{
    return "« " + text + " »";
}

std::string notACup(const QString &path)
{
    return "Le fichier " + nameOf(path) + " n'est pas une coupe Velmorin.";
}

std::string damaged(const QString &path)
{
    return "La coupe " + nameOf(path) +
           " est abîmée : elle n'est pas ouverte, pour ne rien écrire dedans.";
}

} // namespace velmorin::cupstoreprivate
