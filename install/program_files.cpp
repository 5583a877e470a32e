#include "install/program_files.h"

namespace install {

int CreateStartMenuShortcuts(const wchar_t*, const wchar_t*, const wchar_t*) {
    return 0;  // filled in with the Start-menu shell links
}

}  // namespace install
