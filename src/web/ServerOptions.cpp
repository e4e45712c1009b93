#include "ServerOptions.h"

#include <charconv>

namespace velmorin::web {

ServerOptions readServerOptions(const std::vector<std::string> &args)
{
    ServerOptions options;
    bool haveCup = false;
    for (std::size_t k = 0; k < args.size() && options.error.empty(); ++k) {
        const std::string &arg = args[k];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }
        if (arg == "--version") {
            options.version = true;
            continue;
        }
        if (arg != "--coupe" && arg != "--port" && arg != "--ecoute") {
            options.error = "Option inconnue « " + arg + " » : velmorin-serveur --help.";
            break;
        }
        if (k + 1 >= args.size()) {
            options.error = "L'option " + arg + " attend une valeur.";
            break;
        }
        const std::string &value = args[++k];
        if (arg == "--coupe") {
            options.cup = value;
            haveCup = !value.empty();
        } else if (arg == "--ecoute") {
            options.address = value;
        } else {
            unsigned port = 0;
            const auto [end, error] =
                std::from_chars(value.data(), value.data() + value.size(), port);
            if (value.empty() || error != std::errc() || end != value.data() + value.size() ||
                port > 65535)
                options.error = "Le port est un nombre de 0 à 65535, pas « " + value + " ».";
            options.port = static_cast<std::uint16_t>(port);
        }
    }
    if (options.error.empty() && !haveCup && !options.help && !options.version)
        options.error = "L'option --coupe attend le fichier de la coupe.";
    return options;
}

std::string serverHelp()
{
    return "Usage : velmorin-serveur --coupe FICHIER [--port P] [--ecoute ADRESSE]\n"
           "\n"
           "Sert la coupe sur le web : ses résultats en direct sur les téléphones et\n"
           "l'écran de la salle, et leur saisie depuis les jeux avec les jetons que\n"
           "donne velmorin-calc --coupe FICHIER --jeton T POULE.\n"
           "\n"
           "Pages : /  les résultats, le tour en jeu d'abord ; /tour/T  un tour ;\n"
           "/ecran  l'écran de la salle ; /coupe.json  toute la coupe en JSON ;\n"
           "/saisie/JETON  la saisie des résultats d'une poule.\n"
           "\n"
           "Options :\n"
           "  --coupe FICHIER    la coupe (.velmorin)\n"
           "  --port P           le port (8080 par défaut ; 0 : un port libre)\n"
           "  --ecoute ADRESSE   l'adresse où écouter : 127.0.0.1 (par défaut, cet\n"
           "                     ordinateur seul), ou celle de l'ordinateur sur le réseau\n"
           "                     de la salle, ou 0.0.0.0 pour tous ses réseaux\n"
           "  -h, --help         affiche cette aide\n"
           "  --version          affiche la version\n"
           "\n"
           "Code de retour : 0 arrêté (Ctrl+C), 2 refus (la coupe ou l'adresse).\n";
}

std::string serverBanner(const std::string &cupName, const std::string &address,
                         std::uint16_t port)
{
    const bool v6 = address.find(':') != std::string::npos;
    return "La coupe « " + cupName + " » est servie à l'adresse http://" +
           (v6 ? "[" + address + "]" : address) + ':' + std::to_string(port) +
           "/ (Ctrl+C pour arrêter).\n";
}

} // namespace velmorin::web
