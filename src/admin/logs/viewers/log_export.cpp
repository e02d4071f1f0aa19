#include "admin/logs/viewers/log_export.h"

#include <cerrno>
#include <cstring>
#include <functional>
#include <future>

#include "admin/logs/viewers/parallel_pieces.h"
#include "platform/core/cp1252.h"
#include "platform/core/raised_error.h"
#include "ui_core/list_export.h"

namespace corvane {
namespace {

// Rows are formatted in blocks of this many, side by side, and written in order.
constexpr std::int32_t kBlockRows = 4096;

void Flush(std::FILE* file, std::string& buffer) {
    if (!buffer.empty() && std::fwrite(buffer.data(), 1, buffer.size(), file) != buffer.size())
        throw RaisedError(errno == ENOSPC ? 61 : 57, "ExportList", std::strerror(errno));
    buffer.clear();
}

// Row r's line. The cells are already in the file's code page, one byte a
// character, so each is written straight into out and cut or padded there.
void AppendLine(std::string& out, const LogRows& rows, std::int32_t r, const std::vector<std::size_t>& widths) {
    const int columns = std::min<int>(rows.ColumnCount(), static_cast<int>(widths.size()));
    for (int c = 0; c < columns; ++c) {
        const std::size_t start = out.size();
        rows.AppendCellBytes(r, c, out);
        const std::size_t width = widths[static_cast<std::size_t>(c)];
        const std::size_t cell = out.size() - start;
        if (cell > width)
            out.resize(start + width);
        else
            out.append(width - cell, ' ');
        out += '\t';
    }
    out += "\r\n";
}

}  // namespace

std::string ExportHeaderLine(const std::vector<std::string>& captions, const std::vector<std::string>& tags) {
    return cp1252::FromUtf8(ui::ListRowToText(tags, captions, "\t")) + "\r\n\r\n";
}

void WriteExportFile(std::FILE* file, const LogRows& rows, const std::vector<std::string>& captions,
                     const std::vector<std::string>& tags) {
    std::string header = ExportHeaderLine(captions, tags);
    Flush(file, header);
    std::vector<std::size_t> widths;
    for (const std::string& tag : tags) widths.push_back(static_cast<std::size_t>(ui::ExportColumnWidth(tag)));
    const std::int32_t count = rows.Count();
    const std::size_t pieces = PieceCount(static_cast<std::size_t>(count), kBlockRows);
    const auto batch = static_cast<std::int32_t>(pieces) * kBlockRows;
    // One batch of rows, formatted block by block side by side.
    const auto format = [&](std::int32_t first, std::vector<std::string>& blocks) {
        RunPieces(blocks.size(), [&](std::size_t k) {
            // A block of its own on the thread's stack: strings side by side in
            // the vector would share cache lines with every append.
            std::string out = std::move(blocks[k]);
            const std::int32_t from = first + static_cast<std::int32_t>(k) * kBlockRows;
            const std::int32_t to = std::min(count, from + kBlockRows);
            for (std::int32_t r = from; r < to; ++r) AppendLine(out, rows, r, widths);
            blocks[k] = std::move(out);
        });
    };
    // The next batch is formatted while this one is written.
    std::vector<std::string> current(pieces), next(pieces);
    if (count > 0) format(0, current);
    for (std::int32_t first = 0; first < count; first += batch) {
        std::future<void> ahead;
        if (first + batch < count) ahead = std::async(std::launch::async, format, first + batch, std::ref(next));
        for (std::string& block : current) Flush(file, block);
        if (ahead.valid()) ahead.get();
        std::swap(current, next);
    }
    if (std::fflush(file) != 0) throw RaisedError(57, "ExportList", std::strerror(errno));
}

}  // namespace corvane
