// Whether this computer is connected to a wireless LAN: the profile name of
// the first connected wireless interface, through the Native Wifi library
// loaded at run time.
#pragma once

#include <string>

namespace wireless {

// Profile name of the first connected wireless LAN interface; empty when the
// library or its service is missing, nothing is connected, or any call
// fails. Never shows anything.
std::wstring GetConnectedWlanProfile();

}  // namespace wireless
