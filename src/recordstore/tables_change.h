#pragma once

#include <initializer_list>

#include "platform/core/error_trap.h"
#include "recordstore/record_file.h"
#include "recordstore/record_table.h"

namespace corvane {

// One change of several tables (an account renamed or deleted with its links, a catalogue
// entry renamed or deleted with its links, the user editor's save) as one commit: from its
// start the tables' locks are held (taken in the order of their names), every table object of
// those files on this thread reads and writes through it, and Commit writes them all or none.
// An error reported meanwhile (HandleError) ends it at once, before the report: nothing is
// written, the locks go, and every later write to its tables on this thread is refused until
// it goes. Destroyed without Commit it writes nothing.
class TablesChange {
public:
    // The tables' files (each opened first when closed). Raises as an open or a lock does,
    // nothing then held.
    explicit TablesChange(std::initializer_list<RecordTable*> tables);
    TablesChange(const TablesChange&) = delete;
    TablesChange& operator=(const TablesChange&) = delete;

    // Writes the change; raises (nothing of it written) when it failed before or fails now.
    void Commit();
    // Whether an error ended it: nothing of it will be written.
    bool Failed() const { return group_.Abandoned(); }

private:
    RecordFile::Group group_;
    ErrorWatch watch_;
};

}  // namespace corvane
