// Printer driver configuration module stand-in (the printer's and the fax's
// "UI" file): the device mode and the device capabilities the spooler asks
// for when a queue is added or its defaults are read. It shows no property
// sheet of its own.
#include <windows.h>
#include <winspool.h>
#include <compstui.h>
#include <winddiui.h>

#include <cstddef>
#include <cwchar>

namespace {

// The header the spooler passes to DrvDocumentPropertySheets without a
// property sheet.
struct DocumentPropertyHeader {
    WORD cbSize;
    WORD Reserved;
    HANDLE hPrinter;
    LPWSTR pszPrinterName;
    PDEVMODEW pdmIn;
    PDEVMODEW pdmOut;
    DWORD cbOut;
    DWORD fMode;
};

constexpr DWORD kFields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_DEFAULTSOURCE | DM_PRINTQUALITY |
                          DM_COLOR | DM_DUPLEX | DM_YRESOLUTION | DM_COLLATE;
constexpr WORD kPapers[] = {DMPAPER_A4, DMPAPER_LETTER, DMPAPER_LEGAL, DMPAPER_A5};
constexpr const wchar_t* kPaperNames[] = {L"A4", L"Letter", L"Legal", L"A5"};
constexpr DWORD kPaperCount = sizeof(kPapers) / sizeof(kPapers[0]);
constexpr LONG kResolution = 600;

DEVMODEW DefaultDevMode(const wchar_t* printer) {
    DEVMODEW dm = {};
    if (printer) lstrcpynW(dm.dmDeviceName, printer, CCHDEVICENAME);
    dm.dmSpecVersion = DM_SPECVERSION;
    dm.dmDriverVersion = 0x0100;
    dm.dmSize = sizeof(DEVMODEW);
    dm.dmFields = kFields;
    dm.dmOrientation = DMORIENT_PORTRAIT;
    dm.dmPaperSize = DMPAPER_A4;
    dm.dmCopies = 1;
    dm.dmDefaultSource = DMBIN_AUTO;
    dm.dmPrintQuality = static_cast<short>(kResolution);
    dm.dmColor = DMCOLOR_MONOCHROME;
    dm.dmDuplex = DMDUP_SIMPLEX;
    dm.dmYResolution = static_cast<short>(kResolution);
    dm.dmCollate = DMCOLLATE_FALSE;
    return dm;
}

// Takes over the settings the input names in its fields, where valid.
void Merge(DEVMODEW& dm, const DEVMODEW& in) {
    if (in.dmSize < offsetof(DEVMODEW, dmCollate) + sizeof(in.dmCollate)) return;
    if ((in.dmFields & DM_ORIENTATION) &&
        (in.dmOrientation == DMORIENT_PORTRAIT || in.dmOrientation == DMORIENT_LANDSCAPE))
        dm.dmOrientation = in.dmOrientation;
    if (in.dmFields & DM_PAPERSIZE)
        for (WORD paper : kPapers)
            if (in.dmPaperSize == paper) dm.dmPaperSize = paper;
    if ((in.dmFields & DM_COPIES) && in.dmCopies >= 1 && in.dmCopies <= 99) dm.dmCopies = in.dmCopies;
    if ((in.dmFields & DM_DUPLEX) && in.dmDuplex >= DMDUP_SIMPLEX && in.dmDuplex <= DMDUP_HORIZONTAL)
        dm.dmDuplex = in.dmDuplex;
    if ((in.dmFields & DM_COLLATE) && (in.dmCollate == DMCOLLATE_TRUE || in.dmCollate == DMCOLLATE_FALSE))
        dm.dmCollate = in.dmCollate;
}

}  // namespace

extern "C" {

__declspec(dllexport) LONG WINAPI DrvDocumentPropertySheets(PROPSHEETUI_INFO* info, LPARAM lParam) {
    if (info) {
        // Through the common property sheet: nothing to add.
        return CPSUI_OK;
    }
    auto* header = reinterpret_cast<DocumentPropertyHeader*>(lParam);
    if (!header || header->cbSize < sizeof(DocumentPropertyHeader)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (!header->fMode || !header->pdmOut) return sizeof(DEVMODEW);
    if (header->cbOut < sizeof(DEVMODEW)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return -1;
    }
    DEVMODEW dm = DefaultDevMode(header->pszPrinterName);
    if ((header->fMode & DM_IN_BUFFER) && header->pdmIn) Merge(dm, *header->pdmIn);
    memcpy(header->pdmOut, &dm, sizeof(dm));
    return IDOK;
}

__declspec(dllexport) DWORD WINAPI DrvDeviceCapabilities(HANDLE, PWSTR, WORD capability, PVOID output,
                                                         PDEVMODEW) {
    switch (capability) {
    case DC_FIELDS:
        return kFields;
    case DC_PAPERS:
        if (output) memcpy(output, kPapers, sizeof(kPapers));
        return kPaperCount;
    case DC_PAPERNAMES:
        if (output)
            for (DWORD i = 0; i < kPaperCount; ++i)
                lstrcpynW(static_cast<wchar_t*>(output) + i * 64, kPaperNames[i], 64);
        return kPaperCount;
    case DC_PAPERSIZE:  // tenths of a millimetre
        if (output) {
            static const POINT sizes[] = {{2100, 2970}, {2159, 2794}, {2159, 3556}, {1480, 2100}};
            memcpy(output, sizes, sizeof(sizes));
        }
        return kPaperCount;
    case DC_BINS:
        if (output) *static_cast<WORD*>(output) = DMBIN_AUTO;
        return 1;
    case DC_BINNAMES:
        if (output) lstrcpynW(static_cast<wchar_t*>(output), L"Automatic", 24);
        return 1;
    case DC_ENUMRESOLUTIONS:
        if (output) {
            static_cast<LONG*>(output)[0] = kResolution;
            static_cast<LONG*>(output)[1] = kResolution;
        }
        return 1;
    case DC_COPIES:
        return 99;
    case DC_DUPLEX:
        return 1;
    case DC_COLLATE:
        return 1;
    case DC_ORIENTATION:
        return 90;
    case DC_COLORDEVICE:
        return 0;
    case DC_SIZE:
        return sizeof(DEVMODEW);
    case DC_EXTRA:
        return 0;
    case DC_VERSION:
        return DM_SPECVERSION;
    case DC_DRIVER:
        return 0x0100;
    default:
        return GDI_ERROR;
    }
}

__declspec(dllexport) BOOL WINAPI DrvPrinterEvent(LPWSTR, INT, DWORD, LPARAM) { return TRUE; }

__declspec(dllexport) BOOL WINAPI DrvDriverEvent(DWORD, DWORD, LPBYTE, LPARAM) { return TRUE; }

}  // extern "C"
