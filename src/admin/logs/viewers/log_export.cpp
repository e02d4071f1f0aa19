#include "admin/logs/viewers/log_export.h"

#include <cerrno>
#include <cstring>

#include "platform/core/cp1252.h"
#include "platform/core/raised_error.h"
#include "ui_core/list_export.h"

namespace corvane {
namespace {

void Flush(std::FILE* file, std::string& buffer) {
    if (!buffer.empty() && std::fwrite(buffer.data(), 1, buffer.size(), file) != buffer.size())
        throw RaisedError(errno == ENOSPC ? 61 : 57, "ExportList", std::strerror(errno));
    buffer.clear();
}

}  // namespace

std::string ExportHeaderLine(const std::vector<std::string>& captions, const std::vector<std::string>& tags) {
    return cp1252::FromUtf8(ui::ListRowToText(tags, captions, "\t")) + "\r\n\r\n";
}

void WriteExportFile(std::FILE* file, const LogRows& rows, const std::vector<std::string>& captions,
                     const std::vector<std::string>& tags) {
    std::string buffer = ExportHeaderLine(captions, tags);
    std::vector<std::size_t> widths;
    for (const std::string& tag : tags) widths.push_back(static_cast<std::size_t>(ui::ExportColumnWidth(tag)));
    const int columns = std::min<int>(rows.ColumnCount(), static_cast<int>(widths.size()));
    // The cells are already in the file's code page, one byte a character, so
    // they are cut and padded here directly: a million rows stay cheap.
    for (std::int32_t r = 0; r < rows.Count(); ++r) {
        for (int c = 0; c < columns; ++c) {
            const std::string cell = rows.CellBytes(r, c);
            const std::size_t width = widths[static_cast<std::size_t>(c)];
            buffer.append(cell, 0, std::min(width, cell.size()));
            if (cell.size() < width) buffer.append(width - cell.size(), ' ');
            buffer += '\t';
        }
        buffer += "\r\n";
        if (buffer.size() >= (1u << 20)) Flush(file, buffer);
    }
    Flush(file, buffer);
    if (std::fflush(file) != 0) throw RaisedError(57, "ExportList", std::strerror(errno));
}

}  // namespace corvane
