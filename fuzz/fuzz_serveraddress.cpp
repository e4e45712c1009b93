// A server cup's address: any text is read or refused in one sentence, never crashes, and what
// is read holds no password, no control character and a cup name PostgreSQL keeps whole; its
// libpq parameters stay one quoted word each.

#include "FuzzInput.h"
#include "ServerAddress.h"

#include <string>
#include <string_view>

using velmorin::fuzz::check;
using velmorin::fuzz::drivesNoTerminal;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const velmorin::ServerAddressReading reading = velmorin::readServerAddress(text);
    if (!reading.address) {
        check(!reading.error.empty() && reading.error.back() == '.', "refused without a sentence");
        return 0;
    }
    const velmorin::ServerAddress &address = *reading.address;
    check(velmorin::isServerAddress(text), "read what is no address");
    check(!address.cup.empty() && address.cup.size() <= velmorin::kServerCupNameBytes,
          "a cup name PostgreSQL would cut");
    check(text.substr(text.size() - address.cup.size()) == address.cup, "the name not as typed");
    for (const std::string *part : {&address.host, &address.database, &address.user, &address.cup})
        check(drivesNoTerminal(*part), "a control character read");
    for (const auto &[key, value] : address.parameters) {
        check(key != "password", "a password read");
        check(drivesNoTerminal(value) && value.find(';') == std::string::npos,
              "a parameter Qt's driver would split");
    }
    // Each parameter one word: its quotes all escaped but the two around it.
    const std::string words = velmorin::connectionParameters(address);
    std::size_t quotes = 0;
    for (std::size_t k = 0; k < words.size(); ++k) {
        if (words[k] == '\\')
            ++k;
        else if (words[k] == '\'')
            ++quotes;
    }
    check(quotes == 2 * address.parameters.size(), "a parameter's quote not escaped");
    check(!velmorin::shownAddress(address).empty(), "no address shown");
    return 0;
}
