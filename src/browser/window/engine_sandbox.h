#pragma once

namespace corvane {

// Sets up the web engine's own process sandbox before the engine starts (call before the
// application object): on for every user, off only for a program that runs as root, where
// the engine cannot start its sandbox at all. A "switch it off" left in the environment
// (QTWEBENGINE_DISABLE_SANDBOX, "--no-sandbox" among QTWEBENGINE_CHROMIUM_FLAGS) is removed
// otherwise, so pages a pupil opens always render sandboxed.
void SetEngineSandbox();
// The same for a process that does or does not run as root.
void SetEngineSandbox(bool runsAsRoot);

// Switches off, before the engine starts, a page's own file pickers (showOpenFilePicker,
// showSaveFilePicker, showDirectoryPicker): the engine would write where a page asks. Added
// to QTWEBENGINE_CHROMIUM_FLAGS, joined with any features the flags switch off already.
void SwitchOffPageFilePickers();

}  // namespace corvane
