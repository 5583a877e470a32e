// Printer (and fax) driver stand-in: the graphics part of the driver, which
// the spooler registers by file. It renders nothing: enabling it fails, so
// no output is ever reported as printed.
#include <windows.h>

extern "C" {

__declspec(dllexport) BOOL WINAPI DrvEnableDriver(ULONG, ULONG, PVOID) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}

__declspec(dllexport) BOOL WINAPI DrvQueryDriverInfo(DWORD, PVOID, DWORD, PDWORD needed) {
    if (needed) *needed = 0;
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}

}  // extern "C"
