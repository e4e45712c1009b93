#pragma once

// What CalcCup.cpp and CalcCupPlay.cpp share: the refusals' words and the options' reading.
// Private to the cup lines' sources.

#include "CalcCup.h"
#include "CupStore.h"

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace velmorin::cli::cupprivate {

inline constexpr const char *kProgram = "velmorin-calc";

// A text for the terminal: each of its lines with its controls shown as symbols.
std::string shownLines(const std::string &text);
int refuse(std::ostream &err, const std::string &message);
int openingFailed(std::ostream &err, const CupOpening &opening);
// The cup opened for an action that writes, or only reads; none when it cannot be, the
// refusal written and its exit status in `status`.
std::unique_ptr<CupStore> openForAction(const std::string &path, bool writes, std::ostream &err,
                                        int &status);
std::optional<std::string> optionValue(const std::vector<std::string> &args, std::size_t &k,
                                       const std::string &name, std::string &error);
// A plain number from 1 to `max`; none for any other text.
std::optional<int> numberFrom1(const std::string &text, int max);
std::vector<std::string> splitList(const std::string &text, char separator);
bool takeActionOption(const std::vector<std::string> &args, std::size_t &k, CupArguments &cup,
                      std::string &error);

} // namespace velmorin::cli::cupprivate
