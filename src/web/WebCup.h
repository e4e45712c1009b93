#pragma once

// The cup as the server sees it: the one place the server meets the cup's store, so that
// another store (a cup on a database server) takes its place here alone. It reads the cup, its
// entry tokens and their changes by whoever makes them (polled cheaply by the file's
// version), and records the results entered from the lanes, journaled with their token.
// Used from one thread, the server's.

#include "CupStore.h"
#include "WebEntry.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmorin::web {

struct EntryAnswer
{
    bool recorded = false;
    int status = 200;
    std::string sentence; // what was recorded, or why not (French)
};

class WebCup
{
public:
    // Opens the cup to write beside whichever program holds it; a cup that cannot be written
    // is served read-only. Refused: the sentence in `error`.
    static std::unique_ptr<WebCup> open(const std::string &path, std::string &error);

    // Reads the cup again when another program wrote it since; whether it changed.
    bool follow();

    std::uint64_t version() const { return m_store->version(); }
    std::string name() const { return m_store->setup().name; }
    // The cup as played; none before its plan and list make one.
    const Cup *cup() const { return m_cup ? &*m_cup : nullptr; }
    // Why results cannot be entered here; empty when they can.
    const std::string &readOnlyReason() const { return m_readOnlyReason; }
    // The valid (not revoked) token a text is; none otherwise.
    std::optional<CupEntryToken> token(const std::string &text) const;

    // Records the result a form posts with a token, or refuses it, changing nothing.
    EntryAnswer enter(const CupEntryToken &token, const EntryForm &form);
    // The same for results that came in together, each checked after the ones before it and
    // all written in one transaction (one durable write for them all): an answer each.
    struct Entry
    {
        CupEntryToken token;
        EntryForm form;
    };
    std::vector<EntryAnswer> enter(const std::vector<Entry> &entries);

private:
    explicit WebCup(std::unique_ptr<CupStore> store, std::string readOnlyReason);
    void readAgain();
    // One entry checked and applied to `cup`, its journal's sentence added to `journal`.
    EntryAnswer enterOne(Cup &cup, const Entry &entry, std::string &journal) const;

    std::unique_ptr<CupStore> m_store;
    std::optional<Cup> m_cup;
    std::vector<CupEntryToken> m_tokens;
    std::string m_readOnlyReason;
};

} // namespace velmorin::web
