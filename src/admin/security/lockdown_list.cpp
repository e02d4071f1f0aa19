#include "admin/security/lockdown_list.h"

#include "messages/message_catalogue.h"

namespace corvane {

std::string LockdownRowKey(const LockdownListRow& row) { return "L" + std::to_string(row.option); }

std::string LockdownRowCaption(const LockdownListRow& row, int language) {
    std::string caption = GetMessageText(row.captionMessage, language);
    if (row.notRecommended) caption += " - [" + GetMessageText(248, language) + "]";
    return caption;
}

int LockdownRowIndex(std::int32_t option) {
    for (std::size_t i = 0; i < kLockdownListRows.size(); ++i)
        if (kLockdownListRows[i].option == option) return static_cast<int>(i);
    return -1;
}

}  // namespace corvane
