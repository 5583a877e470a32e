// The product's own program files and its Start-menu shortcuts.
//
// Everything copied or linked is named by SetupCFG.xml; the paths are put
// together from the Dir values as they stand (each begins with a backslash
// in our documents, so some joins hold a doubled separator, which the file
// system reads as one; the uninstaller composes the same texts to find them).
#pragma once

#include <string>

namespace install {

// Copies, for the install language, the uninstall program, its icon and its
// resource library into the uninstall folder (system directory, Dir values,
// uisname; every missing level created), the COPYFILES sets of the system's
// style (Common, then the architecture's) into their folders on the Windows
// drive, and the help file into the printer driver directory's "3" folder.
// Missing sources are skipped; nothing is reported.
void CopyProgramFiles(const wchar_t* language);

// Start-menu shortcuts of the product for the model: help file, uninstaller,
// the wireless tool (models of type "3" or "4"), the scan settings tool and
// the scan application, in the folder <Common Programs>\<first Dir>\<model>.
// 0 when every applicable shortcut was written, 3 when the step stopped early
// (no programs folder, COM unusable, scan tools not configured).
int CreateStartMenuShortcuts(const wchar_t* model, const wchar_t* programFiles, const wchar_t* language);

// The all-users programs folder on the drive Windows runs from: `folder` as
// read from the registry when the Windows directory is on drive C:,
// otherwise its drive letter replaced by the Windows directory's.
std::wstring ProgramsFolderOnWindowsDrive(const std::wstring& folder, const std::wstring& windowsDir);

// The "Common Programs" value of HKLM\...\Explorer\Shell Folders (the whole
// value, whatever its length). False when the key or value cannot be read.
bool ReadCommonProgramsFolder(std::wstring& folder);

// <Program Files>\<Dir1>\...\<DirN>\, every missing level created.
std::wstring MakeInstalledProgramFolder(const std::wstring& programFiles);

}  // namespace install
