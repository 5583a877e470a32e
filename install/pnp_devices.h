// Plug-and-play device handling through the setup API.
#pragma once

namespace install {

// Sets the reinstall flag on every printer-class device of the enumerator.
// True when every device found was marked (also when none was found).
bool MarkDevicesForReinstall(const wchar_t* enumerator);

}  // namespace install
