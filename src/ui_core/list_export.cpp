#include "ui_core/list_export.h"

#include <cmath>
#include <cstdint>

#include "platform/settings/value_text.h"
#include "platform/system/workstation.h"

namespace corvane::ui {

int ExportColumnWidth(std::string_view tag) {
    const double v = std::nearbyint(Val(tag));
    if (!(v > 0)) return 0;
    return v > 32767 ? 32767 : static_cast<int>(v);
}

std::string ListRowToText(const std::vector<std::string>& tags,
                          const std::vector<std::string>& cells, std::string_view separator) {
    std::string line;
    for (std::size_t k = 0; k < cells.size(); ++k) {
        const int width = k < tags.size() ? ExportColumnWidth(tags[k]) : 0;
        std::string fill = " ";
        line += PadText(cells[k], static_cast<std::int16_t>(width), fill, 0);
        line += separator;
    }
    return line;
}

}  // namespace corvane::ui
