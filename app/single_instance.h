#pragma once

#include <QString>

// Name of the local endpoint (a named pipe on Windows) that every instance shares.
constexpr char kServerName[] = "sorvella_local_server";

// Makes this process the first instance on the endpoint `name`, or finds another one there.
// Returns false when another instance accepted the probe. Otherwise it listens on the name
// (after clearing any leftover endpoint) and publishes kShowMainWindowEvent once for every
// later launch that connects, and returns true. The probe socket and listener it creates
// have no owner and stay until the process ends. A listener that cannot listen leaves the
// instance without hand-over; that is not reported.
bool claimSingleInstance(const QString &name);

// Returns only in the first instance; a later instance ends here with exit status 0,
// before any window, tray icon or engine exists.
void ensureSingleInstance();
