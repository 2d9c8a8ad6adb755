#pragma once

#include "config/config_document.h"
#include "config/profile_fields.h"

#include <nlohmann/json.hpp>

#include <QString>
#include <QStringList>

#include <optional>

// The working configuration document and what the settings window does with it: loading
// config.json, the values to show for a profile, collecting a profile back, adding and
// removing profiles, the entries of the profile list, and saving. No widgets: the window's
// store and profile members are glue between this and the panel.
// Names are profile names ("default", not its entry text "默认").
class ProfileStore {
public:
    // Autorun off and only `default` with the ten defaults, built directly.
    ProfileStore();

    nlohmann::json &document() { return m_document; }
    const nlohmann::json &document() const { return m_document; }

    // Reads config.json into the document, after removing what killed saves left beside it.
    // False when the file cannot be opened or is not readable JSON; the document is then
    // unchanged.
    bool load();

    // What the panel shows for the profile, or nothing when there is no such profile.
    std::optional<ProfileValues> valuesOf(const QString &name) const;
    // The top-level autorun flag as the panel shows it (off unless the document says on).
    bool autorunEnabled() const;
    void setAutorunEnabled(bool enabled);
    // The glide paced by the display, for every application (top level, like autorun).
    bool displayPaced() const;
    void setDisplayPaced(bool on);

    // Replaces the whole set of the profile (or creates it) by the values, and sets the
    // autorun flag. An empty name does nothing.
    void collect(const QString &name, const ProfileValues &values, bool autorun);

    // Adds the profile as a copy of `default`; false when it exists already (nothing changes).
    bool add(const QString &name);
    // Erases the profile if it is there.
    void remove(const QString &name);

    // The entry texts of the profile list: "默认", every other profile in key order, "+".
    QStringList entries() const;

    // Writes the whole document to config.json and then brings the autorun entry in line.
    // False when the file could not be written; autorun is then left alone.
    bool save() const;

private:
    nlohmann::json &parameters() { return m_document["parameters"]; }

    nlohmann::json m_document;
};
