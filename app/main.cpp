// Program entry of both deliverables.
#include <windows.h>

#include "app/setwise_app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    app::CSetwiseApp application;
    return application.InitInstance();
}
