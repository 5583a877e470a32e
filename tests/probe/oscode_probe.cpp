// Prints the OS code of the system it runs on and exits with it, so a test
// can run it under the Windows versions Wine reports per program.
#include <cstdio>

#include "env/os_checks.h"

int wmain() {
    unsigned code = env::GetOsCode();
    std::printf("%u\n", code);
    return static_cast<int>(code);
}
