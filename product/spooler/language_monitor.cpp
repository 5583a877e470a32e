// Language monitor stand-in: a print monitor (InitializePrintMonitor2) that
// sits between the spooler and the port monitor of a queue whose driver
// names it, and passes every job through to the port unchanged.
#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

#include <new>

namespace {

struct Port {
    HANDLE port;        // the port monitor's handle
    MONITOR2* monitor;  // the port monitor's functions
};

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

BOOL WINAPI OpenPortEx(HANDLE hMonitorPort, HANDLE, LPWSTR portName, LPWSTR, PHANDLE handle, MONITOR2* portMonitor) {
    if (!handle || !portMonitor || !portMonitor->pfnOpenPort) return Fail(ERROR_INVALID_PARAMETER);
    HANDLE port = nullptr;
    if (!portMonitor->pfnOpenPort(hMonitorPort, portName, &port)) return FALSE;
    auto* p = new (std::nothrow) Port{port, portMonitor};
    if (!p) {
        if (portMonitor->pfnClosePort) portMonitor->pfnClosePort(port);
        return Fail(ERROR_NOT_ENOUGH_MEMORY);
    }
    *handle = p;
    return TRUE;
}

BOOL WINAPI StartDocPort(HANDLE handle, LPWSTR printer, DWORD job, DWORD level, LPBYTE info) {
    auto* p = static_cast<Port*>(handle);
    if (!p || !p->monitor->pfnStartDocPort) return Fail(ERROR_INVALID_HANDLE);
    return p->monitor->pfnStartDocPort(p->port, printer, job, level, info);
}

BOOL WINAPI WritePort(HANDLE handle, LPBYTE data, DWORD size, LPDWORD written) {
    auto* p = static_cast<Port*>(handle);
    if (!p || !p->monitor->pfnWritePort) return Fail(ERROR_INVALID_HANDLE);
    return p->monitor->pfnWritePort(p->port, data, size, written);
}

BOOL WINAPI ReadPort(HANDLE handle, LPBYTE data, DWORD size, LPDWORD read) {
    auto* p = static_cast<Port*>(handle);
    if (!p || !p->monitor->pfnReadPort) return Fail(ERROR_INVALID_HANDLE);
    return p->monitor->pfnReadPort(p->port, data, size, read);
}

BOOL WINAPI EndDocPort(HANDLE handle) {
    auto* p = static_cast<Port*>(handle);
    if (!p || !p->monitor->pfnEndDocPort) return Fail(ERROR_INVALID_HANDLE);
    return p->monitor->pfnEndDocPort(p->port);
}

BOOL WINAPI ClosePort(HANDLE handle) {
    auto* p = static_cast<Port*>(handle);
    if (!p) return Fail(ERROR_INVALID_HANDLE);
    const BOOL closed = p->monitor->pfnClosePort ? p->monitor->pfnClosePort(p->port) : TRUE;
    delete p;
    return closed;
}

VOID WINAPI Shutdown(HANDLE) {}

MONITOR2 g_functions = [] {
    MONITOR2 f = {};
    f.cbSize = sizeof(MONITOR2);
    f.pfnOpenPortEx = OpenPortEx;
    f.pfnStartDocPort = StartDocPort;
    f.pfnWritePort = WritePort;
    f.pfnReadPort = ReadPort;
    f.pfnEndDocPort = EndDocPort;
    f.pfnClosePort = ClosePort;
    f.pfnShutdown = Shutdown;
    return f;
}();

}  // namespace

extern "C" __declspec(dllexport) LPMONITOR2 WINAPI InitializePrintMonitor2(PMONITORINIT init, PHANDLE hMonitor) {
    if (!init || !hMonitor) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    *hMonitor = &g_functions;  // no state of its own
    return &g_functions;
}
