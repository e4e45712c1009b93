#pragma once

// The three exemption classes and what is said of each: in class k, k - 1 teams skip round 4
// and go straight to the quarter-final. A run handles them in the order 3, 2, 1.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace velmorin {

enum class ExemptionClass : int { Class1 = 1, Class2 = 2, Class3 = 3 };

// The order of a calculation run and of every listing of its results.
constexpr std::array<ExemptionClass, 3> kRunOrder{ExemptionClass::Class3, ExemptionClass::Class2,
                                                  ExemptionClass::Class1};

// The class's number, 1 to 3, as the window's control names and the listings use it.
constexpr int classNumber(ExemptionClass exemptionClass)
{
    return static_cast<int>(exemptionClass);
}

// Teams exempted from round 4: 0, 1 or 2.
constexpr int exemptedTeams(ExemptionClass exemptionClass)
{
    return classNumber(exemptionClass) - 1;
}

// Zero-based, for arrays of three indexed by class.
constexpr std::size_t classIndex(ExemptionClass exemptionClass)
{
    return static_cast<std::size_t>(classNumber(exemptionClass) - 1);
}

// The class numbered 1 to 3; throws std::out_of_range for any other number.
ExemptionClass exemptionClassFromNumber(int number);

// What the program says and shows of a class.
struct ClassWording
{
    // The exemption marking's label beside the number: "Exemptée", "Exemptées"; empty for
    // class 1, whose marking is hidden.
    std::string_view markingLabel;
    // A listing's heading: "Classe 2 (1 exemptée)".
    std::string_view heading;
    // A sentence of its own: "1 équipe exemptée du Tour 4".
    std::string_view description;
    // The colour of the class's solution label and marking, as 0xRRGGBB: class 1 red,
    // class 2 blue, class 3 black.
    std::uint32_t colour;
};

const ClassWording &wording(ExemptionClass exemptionClass);

} // namespace velmorin
