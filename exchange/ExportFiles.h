// What every export of the program shares: numbers written the same way on
// every system, and the save dialog that names the file.
//
// Exports are built completely in memory and then written beside the target
// and renamed over it (see session/TextFiles.h), so a file is either the
// whole export or untouched, and a failed write names the path and reason.
#pragma once

#include <optional>
#include <string>

#include "session/Context.h"

namespace vk {

// Fixed-point text with "." as decimal point and no thousands separators,
// whatever the user's locale, so that the program and spreadsheets read it
// back ("1234.50", "-0.25").
std::string FixedText(double value, int decimals);

// The path chosen in the save dialog for an export, or nothing when the user
// cancelled. `proposed` is the name the dialog starts with.
std::optional<std::string> AskExportPath(Ctx& ctx, const std::string& title, const std::string& proposed);

// `FileName` less its last four characters, then ".TXT": the name the Mac
// and RealBasic exports propose.
std::string ExportNameOf(const std::string& fileName);

}  // namespace vk
