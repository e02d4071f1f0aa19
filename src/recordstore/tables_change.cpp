#include "recordstore/tables_change.h"

namespace corvane {

TablesChange::TablesChange(std::initializer_list<RecordTable*> tables) : watch_([this] { group_.Abandon(); }) {
    for (RecordTable* table : tables) {
        const std::shared_ptr<RecordEngine> engine = table->Pin();
        engine->OpenIfClosed();
        group_.Add(engine->TablePathName(), engine->Desc().slotLength, engine->Desc().dataLength);
    }
    group_.Lock();
}

void TablesChange::Commit() { group_.Commit(); }

}  // namespace corvane
