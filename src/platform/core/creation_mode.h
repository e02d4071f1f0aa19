#pragma once

#include <sys/types.h>

#include <string>

namespace corvane {

// What the program creates is private to the account: files 0600, folders 0700
// (through the process's file-creation mask). A data folder whose group is
// shared, that is a folder with the set-group-ID bit that its group may write
// (mode 2770), widens that to the group: files 0660, folders 2770, each
// keeping the folder's group.

// Sets the private mask (077), remembering the one the process started with.
// Start-up calls it before it creates anything.
void UsePrivateCreationMask();

// A folder of this mode is group-shared: the set-group-ID bit, and its group may write.
bool GroupSharedMode(mode_t folderMode);
// Others than the account and its shared group may create files in a folder of this mode:
// anyone may write it, or its group may and it is not group-shared.
bool OthersMayWriteMode(mode_t folderMode);

// The folder is group-shared: a folder (not a link) of a group-shared mode.
bool IsGroupSharedFolder(const std::string& folder);

// Once the data folder is known: the group mask (007) when it is group-shared,
// the private one otherwise. Whether it is shared.
bool ShareCreationsWithGroupOf(const std::string& dataFolder);

// The mask the process started with, which the programs it starts get back.
mode_t InheritedCreationMask();

// Others than this account and its shared group may create files in the folder
// (OthersMayWriteMode). An existing file there of another account may have been planted.
bool OthersMayWriteFolder(const std::string& folder);

}  // namespace corvane
