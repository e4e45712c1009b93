// One XML part of a spreadsheet, as its readers parse it: any bytes are read or refused, never
// an abort of the parser's own checks or a read past the part; elements open and close in
// pairs, and every name's namespace is one the reader knows or one of the two marks.

#include "FuzzInput.h"
#include "ZipXml.h"

#include <array>
#include <cstdint>
#include <exception>
#include <new>
#include <vector>

namespace {

constexpr std::array<std::string_view, 2> kNamespaces{"urn:a", "http://schemas.openxmlformats.org/"
                                                               "spreadsheetml/2006/main"};

class Balance
{
public:
    void attribute(velmorin::XmlName name, std::string_view) { checkNamespace(name); }
    void startElement(velmorin::XmlName name)
    {
        checkNamespace(name);
        ++depth;
    }
    void endElement(velmorin::XmlName name)
    {
        checkNamespace(name);
        velmorin::fuzz::check(--depth >= 0, "an element closed that was not open");
    }
    void characters(std::string_view) {}

    int depth = 0;

private:
    static void checkNamespace(velmorin::XmlName name)
    {
        velmorin::fuzz::check(name.ns >= velmorin::kOtherNamespace &&
                                  name.ns < int(kNamespaces.size()),
                              "a namespace out of the reader's list");
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Balance balance;
    try {
        velmorin::parseXmlPart(std::vector<unsigned char>(data, data + size), balance, kNamespaces);
    } catch (const std::bad_alloc &) {
        throw;
    } catch (const std::exception &) {
        return 0; // refused
    }
    velmorin::fuzz::check(balance.depth == 0, "a part read whole with an element left open");
    return 0;
}
