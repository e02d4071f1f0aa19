#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "admin/logs/viewers/log_rows.h"

namespace corvane {

// The exported list file: the captions padded to the export widths held in
// the column tags, each followed by a TAB, then CR LF CR LF; then one line per
// row in the shown order, every cell cut or padded to its width and followed
// by a TAB, each line ending CR LF. Windows-1252 text; what the code page
// cannot hold becomes "?".
std::string ExportHeaderLine(const std::vector<std::string>& captions, const std::vector<std::string>& tags);

// Writes the whole file; raises the file error when a write fails.
void WriteExportFile(std::FILE* file, const LogRows& rows, const std::vector<std::string>& captions,
                     const std::vector<std::string>& tags);

}  // namespace corvane
