// The product's own program files and its Start-menu shortcuts.
#pragma once

namespace install {

// Start-menu shortcuts of the product for the model. 0 when every applicable
// shortcut was written, 3 when the step stopped early.
int CreateStartMenuShortcuts(const wchar_t* model, const wchar_t* programFiles, const wchar_t* language);

}  // namespace install
