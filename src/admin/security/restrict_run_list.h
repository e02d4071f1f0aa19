#pragma once

#include <string>
#include <vector>

namespace corvane {

// One listed program of the Restrict Run list: the value's name and data.
struct RestrictRunEntry {
    std::string name;
    std::string data;
};

// The entries the advanced window lists, in the store's order: values whose
// data is blank or exactly one of the program's own executable names are
// left out.
std::vector<RestrictRunEntry> ListedRestrictRunEntries();

// Whether Add refuses the file name: one of the program's editions, letter
// case ignored.
bool IsRefusedRestrictRunName(const std::string& fileName);

// Removes one value of the list by its name; a value already gone is no
// fault.
void DeleteRestrictRunEntry(const std::string& name);

}  // namespace corvane
