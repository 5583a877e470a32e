// Stand-in for the libraries the product copies into the system directory
// (the scanner's still-image library and the push-scan registration
// library). Loading does nothing; registering and unregistering are only
// noted in the stand-ins' run log ("<library>|DllRegisterServer").
#include <windows.h>

#include "product/standin/run_log.h"

#ifndef STANDIN_LIBRARY_NAME
#error STANDIN_LIBRARY_NAME names the library in the run log
#endif

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllRegisterServer() {
    standin::AppendRunLog(std::wstring(STANDIN_LIBRARY_NAME) + L"|DllRegisterServer");
    return S_OK;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer() {
    standin::AppendRunLog(std::wstring(STANDIN_LIBRARY_NAME) + L"|DllUnregisterServer");
    return S_OK;
}
