// "vorelkant-cli print": one page printed to a PDF file through the same
// page layout and printer canvas as the desktop program's "Print".
#pragma once

#include <string>

#include "printing/PrintPage.h"

namespace vk {

struct PrintRequest {
    int paperWidth = 4961, paperHeight = 7016;  // the sheet in printer pixels, portrait
    std::string pdf;
    bool primitives = false;  // every call on the page canvas to standard output
    PrintChoice choice;
};

// Redraws the panels as the desktop program would, takes the choices as
// "OK" does and prints the page. Returns an error message, or "" on success.
std::string PrintToPdf(Ctx& ctx, const PrintRequest& r);

}  // namespace vk
