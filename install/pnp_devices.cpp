#include "install/pnp_devices.h"

namespace install {

bool MarkDevicesForReinstall(const wchar_t*) { return true; }  // filled in with the CONFIGFLAG_REINSTALL update

}  // namespace install
