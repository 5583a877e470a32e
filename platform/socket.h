// RAII owner for a Windows Sockets socket.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include "platform/handles.h"

namespace plat {

struct SocketTraits {
    static SOCKET Invalid() { return INVALID_SOCKET; }
    static bool Valid(SOCKET s) { return s != INVALID_SOCKET; }
    static void Close(SOCKET s) { closesocket(s); }
};
using Socket = Owned<SOCKET, SocketTraits>;

}  // namespace plat
