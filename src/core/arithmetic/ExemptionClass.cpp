#include "ExemptionClass.h"

#include <stdexcept>
#include <string>

namespace velmorin {

ExemptionClass exemptionClassFromNumber(int number)
{
    if (number < 1 || number > 3)
        throw std::out_of_range("exemption class " + std::to_string(number));
    return static_cast<ExemptionClass>(number);
}

const ClassWording &wording(ExemptionClass exemptionClass)
{
    static const std::array<ClassWording, 3> kWordings{{
        {"", "Classe 1 (aucune exemptée)", "aucune équipe exemptée", 0xFF0000},
        {"Exemptée", "Classe 2 (1 exemptée)", "1 équipe exemptée du Tour 4", 0x0000FF},
        {"Exemptées", "Classe 3 (2 exemptées)", "2 équipes exemptées du Tour 4", 0x000000},
    }};
    return kWordings[classIndex(exemptionClass)];
}

} // namespace velmorin
