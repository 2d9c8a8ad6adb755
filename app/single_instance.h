#pragma once

#include <QString>

// The start of the local endpoint's name (a named pipe on Windows).
constexpr char kServerName[] = "sorvella_local_server";

// The endpoint every instance of this user in this session shares: kServerName followed by
// the session id and the user's SID on Windows, where a pipe's name holds for the whole
// machine, and by the user id elsewhere. Two users signed in at once each get their own
// instance.
QString localServerName();

// Makes this process the first instance on the endpoint `name`, or finds another one there.
// Returns false when another instance accepted the probe. Otherwise it listens on the name,
// for this user only (after clearing any leftover endpoint), and publishes kShowMainWindowEvent once for every
// later launch that connects, and returns true. The probe socket and listener it creates
// have no owner and stay until the process ends. A listener that cannot listen leaves the
// instance without hand-over; that is not reported.
bool claimSingleInstance(const QString &name);

// Returns only in the first instance; a later instance ends here with exit status 0,
// before any window, tray icon or engine exists.
void ensureSingleInstance();
