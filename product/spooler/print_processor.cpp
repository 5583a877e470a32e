// Print processor stand-in: registers with the spooler and answers for the
// RAW data type. It renders nothing: a job handed to it is refused with
// ERROR_NOT_SUPPORTED rather than reported printed.
#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

#include <cwchar>
#include <new>

namespace {

constexpr wchar_t kRaw[] = L"RAW";

struct Processor {
    DWORD jobId;
};

}  // namespace

extern "C" {

__declspec(dllexport) BOOL WINAPI EnumPrintProcessorDatatypesW(LPWSTR, LPWSTR, DWORD level, LPBYTE buffer,
                                                              DWORD size, LPDWORD needed, LPDWORD returned) {
    if (!needed || !returned) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *returned = 0;
    if (level != 1) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    *needed = sizeof(DATATYPES_INFO_1W) + sizeof(kRaw);
    if (!buffer || size < *needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    auto* info = reinterpret_cast<DATATYPES_INFO_1W*>(buffer);
    auto* text = reinterpret_cast<wchar_t*>(buffer + sizeof(DATATYPES_INFO_1W));
    memcpy(text, kRaw, sizeof(kRaw));
    info->pName = text;
    *returned = 1;
    return TRUE;
}

__declspec(dllexport) HANDLE WINAPI OpenPrintProcessor(LPWSTR, PPRINTPROCESSOROPENDATA data) {
    if (!data || !data->pDatatype || _wcsicmp(data->pDatatype, kRaw) != 0) {
        SetLastError(ERROR_INVALID_DATATYPE);
        return nullptr;
    }
    auto* p = new (std::nothrow) Processor{data->JobId};
    if (!p) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return p;
}

__declspec(dllexport) BOOL WINAPI PrintDocumentOnPrintProcessor(HANDLE processor, LPWSTR) {
    SetLastError(processor ? ERROR_NOT_SUPPORTED : ERROR_INVALID_HANDLE);
    return FALSE;
}

__declspec(dllexport) BOOL WINAPI ControlPrintProcessor(HANDLE processor, DWORD) {
    if (!processor) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

__declspec(dllexport) BOOL WINAPI ClosePrintProcessor(HANDLE processor) {
    if (!processor) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    delete static_cast<Processor*>(processor);
    return TRUE;
}

__declspec(dllexport) DWORD WINAPI GetPrintProcessorCapabilities(LPWSTR datatype, DWORD level, LPBYTE buffer,
                                                                DWORD size, LPDWORD needed) {
    if (!needed || level != 1 || !datatype || _wcsicmp(datatype, kRaw) != 0) return ERROR_INVALID_PARAMETER;
    *needed = sizeof(PRINTPROCESSOR_CAPS_1);
    if (!buffer || size < *needed) return ERROR_INSUFFICIENT_BUFFER;
    auto* caps = reinterpret_cast<PRINTPROCESSOR_CAPS_1*>(buffer);
    caps->dwLevel = 1;
    caps->dwNupOptions = 1;
    caps->dwPageOrderFlags = NORMAL_PRINT;
    caps->dwNumberOfCopies = 1;
    return ERROR_SUCCESS;
}

}  // extern "C"
