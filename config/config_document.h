#pragma once

#include <nlohmann/json.hpp>

#include <atomic>
#include <memory>
#include <string_view>

// The configuration document: one JSON object holding `autorunEnabled`, `parameters` (one
// parameter set per profile name) and, only while the user has it on, `displayPaced`. Object members are kept in ascending byte order.

// A published state of the shared document. It never changes once published, so a reader
// that holds one sees the same document however often a new one is published meanwhile.
using ConfigSnapshot = std::shared_ptr<const nlohmann::json>;

// The process-wide document the engine reads. It is created from the built-in default text
// at its first use and is afterwards only ever replaced whole by a copy of the working one.
// Reading it never copies the document; assigning to it publishes.
// The GUI thread publishes while the engine's thread reads: the current snapshot is loaded and
// stored atomically, and another thread only ever reads through a snapshot it holds. The
// references below are for the publishing thread, which alone replaces the document.
class SharedConfig {
public:
    SharedConfig &operator=(const nlohmann::json &document);
    SharedConfig &operator=(nlohmann::json &&document);
    operator const nlohmann::json &() const { return *m_current; }
    const nlohmann::json &document() const { return *m_current; }
    template <typename Key>
    const nlohmann::json &operator[](const Key &key) const
    {
        return (*m_current)[key];
    }
    ConfigSnapshot snapshot() const { return std::atomic_load(&m_current); }

private:
    friend SharedConfig &sharedConfig();
    SharedConfig();
    ConfigSnapshot m_current;
};

bool operator==(const SharedConfig &shared, const nlohmann::json &document);

SharedConfig &sharedConfig();

// The document as last published, held for as long as the caller keeps it: the engine takes
// one per wheel event instead of a private copy.
ConfigSnapshot sharedConfigSnapshot();

// Replaces the shared document by a copy of the given one (the store's publication).
void publishSharedConfig(const nlohmann::json &document);
// The same for a document the caller no longer needs: it is moved, not copied.
void publishSharedConfig(nlohmann::json &&document);

// The profile every application without a set of its own uses; the working document always
// holds it.
constexpr char kDefaultProfileName[] = "default";

// Whether the display's frames pace every glide: the top-level member `displayPaced`, kept
// only while it is JSON true. Off leaves no trace in the document, so that the file of
// someone who never switches it on (or switches it off again) stays as it was.
constexpr char kDisplayPacedKey[] = "displayPaced";
bool displayPacedIn(const nlohmann::json &document);
void setDisplayPaced(nlohmann::json &document, bool on);

// A new parameter set holding the ten keys with their defaults (kParameterKeys).
nlohmann::json defaultParameters();

// A document as the main window starts with: autorun off and only the `default` set,
// built directly rather than parsed.
nlohmann::json initialConfig();

// The built-in default text the shared document is parsed from (623 bytes).
std::string_view defaultConfigText();
