#pragma once

#include "core/SettingsStore.h"

#include <QString>
#include <QStringView>

#include <optional>

// Whether and where the program serves its scorebug and board to streaming
// programs, kept in the preferences file's [Stream] section (Enabled, Port,
// AllowNetwork). Off, and reachable from this computer only, until the
// operator says otherwise.
struct StreamSettings {
    static constexpr int DefaultPort = 8765;
    // Below 1024 a port needs administrator rights on most systems.
    static constexpr int LowestPort = 1024;
    static constexpr int HighestPort = 65535;

    bool Enabled = false;
    int Port = DefaultPort;
    bool AllowNetwork = false;

    friend bool operator==(const StreamSettings &, const StreamSettings &) = default;

    // A port typed or stored as text: digits only (surrounding blanks aside),
    // within LowestPort to HighestPort; nullopt otherwise.
    static std::optional<int> portFromText(QStringView text);
    // The overlay's address to paste into a streaming program: on loopback,
    // or with the network allowed this computer's first IPv4 address (which
    // loads the server's plugin to find it).
    QString overlayAddress() const;
    // The same with the computer's address known; empty: it has none.
    QString overlayAddress(const QString &networkAddress) const;
};

// Reads the section; a missing or unusable value takes its default.
StreamSettings LoadStreamSettings();
// Writes all three keys and tells whether they reached the disk.
SettingsSaveResult SaveStreamSettings(const StreamSettings &settings);
