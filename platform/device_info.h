// Owner of a setup-API device information list.
#pragma once

#include <windows.h>
#include <setupapi.h>

#include "platform/handles.h"

namespace plat {

struct DeviceInfoTraits {
    static HDEVINFO Invalid() { return INVALID_HANDLE_VALUE; }
    static bool Valid(HDEVINFO h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HDEVINFO h) { SetupDiDestroyDeviceInfoList(h); }
};
using DeviceInfoList = Owned<HDEVINFO, DeviceInfoTraits>;

}  // namespace plat
