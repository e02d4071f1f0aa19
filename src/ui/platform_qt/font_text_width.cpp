#include "ui/platform_qt/font_text_width.h"

#include <QFontMetrics>

namespace corvane {

TextWidth FontTextWidth(const QFont& font) {
    return [metrics = QFontMetrics(font)](std::string_view text) {
        return metrics.horizontalAdvance(QString::fromStdString(std::string(text)));
    };
}

}  // namespace corvane
