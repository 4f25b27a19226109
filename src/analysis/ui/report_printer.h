// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

#include "analysis/report_grid.h"

class QPagedPaintDevice;

namespace ampvane {

struct ReportPrintSettings {
    bool colours = false; // the options print with colours; else styles mark the rows
    ReportColours keyColours;
    QString generatedAt; // the footer's date and time
};

// Prints a report page by page: caption, condition line, description lines, the visible columns of
// the grid in a font small enough for the page width, the heating note, the key and the footer.
// Returns the number of pages printed; 0 when the device could not be painted on.
int PrintReport(const ReportGrid& grid, QPagedPaintDevice& device, const ReportPrintSettings& settings);

// The largest grid font size from 9 down to 1 at which a line of `characters` characters fits
// `pageWidth`, measured by the width of one character of "HelloWorld" at each size.
int GridFontSizeForWidth(int characters, int pageWidth, const std::function<double(int)>& charWidthAtSize);

} // namespace ampvane
