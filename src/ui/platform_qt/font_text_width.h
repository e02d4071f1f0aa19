#pragma once

#include <QFont>

#include "platform/system/file_helpers.h"

namespace corvane {

// The width of texts in a font, for File::CompactedPath and its Short form.
TextWidth FontTextWidth(const QFont& font);

}  // namespace corvane
