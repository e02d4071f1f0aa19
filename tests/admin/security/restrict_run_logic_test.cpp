#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "admin/security/advanced_security_logic.h"
#include "admin/security/security_windows_test_support.h"
#include "lockdown/restrict_run.h"
#include "messages/message_catalogue.h"
#include "platform/settings/registry.h"
#include "platform/settings/settings_store.h"
#include "ui_core/msgbox/scripted_msgbox.h"

namespace corvane::testing {
namespace {

// The Restrict Run tab over a registry of its own.
class RestrictRunLogicTest : public SecurityWindowTest {
protected:
    void Put(const std::string& name, const std::string& data) {
        WriteRegistryValue(HKEY_CURRENT_USER, kRestrictRunKey, name, data, REG_SZ);
    }
    std::string Get(const std::string& name) {
        return ReadRegistryValue(HKEY_CURRENT_USER, kRestrictRunKey, name, "<none>");
    }
    std::vector<std::string> Listed(const AdvancedSecurityLogic& logic) {
        std::vector<std::string> texts;
        for (const auto& entry : logic.RestrictRunEntries()) texts.push_back(entry.name + "=" + entry.data);
        return texts;
    }
    AdvancedSecurityLogic Loaded() {
        AdvancedSecurityLogic logic(Services());
        logic.LoadSettings();
        return logic;
    }
};

TEST_F(RestrictRunLogicTest, AddTakesTheNumberAboveTheHighestNameInUse) {
    struct Row {
        std::vector<std::pair<std::string, std::string>> stored;
        const char* chosen;
        const char* newName;
        const char* written;
    };
    const Row rows[] = {
        {{}, "/usr/bin/gedit", "1", "gedit"},
        {{{"1", "a.exe"}, {"3", "c.exe"}}, "/opt/tools/calc.exe", "4", "calc.exe"},
        {{{"5", "e.exe"}, {"2", "b.exe"}}, "x.exe", "6", "x.exe"},
        {{{"abc", "odd.exe"}, {"3", "c.exe"}}, "C:\\Apps\\word.exe", "4", "word.exe"},
        {{{"70000", "big.exe"}}, "n.exe", "70001", "n.exe"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.chosen);
        Registry().DeleteKey(HKEY_CURRENT_USER, kRestrictRunKey);
        for (const auto& [name, data] : row.stored) Put(name, data);
        AdvancedSecurityLogic logic = Loaded();
        logic.AddProgram(std::string(row.chosen));
        EXPECT_EQ(Get(row.newName), row.written);
        for (const auto& [name, data] : row.stored) EXPECT_EQ(Get(name), data) << "overwritten: " << name;
        EXPECT_TRUE(logic.IsDirty);
        const auto listed = Listed(logic);
        EXPECT_NE(std::find(listed.begin(), listed.end(), std::string(row.newName) + "=" + row.written),
                  listed.end());
    }
}

TEST_F(RestrictRunLogicTest, DeletingLeavesAGapAndTheNextAddGoesAboveIt) {
    Put("1", "a.exe");
    Put("2", "b.exe");
    Put("3", "c.exe");
    auto box = ScriptedMsgBox::Install();
    box->Answer(kMsgYes);
    AdvancedSecurityLogic logic = Loaded();
    logic.DeletePrograms({"2"});
    EXPECT_EQ(box->Last().prompt, GetMessageText(421));
    EXPECT_EQ(box->Last().buttons, 36);
    EXPECT_EQ(Listed(logic), (std::vector<std::string>{"1=a.exe", "3=c.exe"}));
    logic.AddProgram(std::string("d.exe"));
    EXPECT_EQ(Get("4"), "d.exe");
    EXPECT_EQ(Get("2"), "<none>");
}

TEST_F(RestrictRunLogicTest, OwnNamesAreRefusedOrHidden) {
    auto box = ScriptedMsgBox::Install();
    Put("1", "corvane.exe");  // not an exact own name: listed
    AdvancedSecurityLogic logic = Loaded();
    for (const char* edition : {"/x/CorvaneEnt.exe", "COrvanePRO.EXE", "corvanestd.exe", "CorvaneLte.exe"})
        logic.AddProgram(std::string(edition));
    EXPECT_FALSE(logic.IsDirty);
    EXPECT_EQ(Get("2"), "<none>");
    logic.AddProgram(std::string("/opt/Corvane.exe"));
    EXPECT_EQ(Get("2"), "Corvane.exe");
    EXPECT_EQ(Listed(logic), std::vector<std::string>{"1=corvane.exe"});
    EXPECT_EQ(box->Count(), 0);
}

TEST_F(RestrictRunLogicTest, ClearRemovesTheListedEntriesOnly) {
    Put("1", "CorvaneEnt.exe");
    Put("2", "notes.exe");
    Put("3", "   ");
    Put("4", "paint.exe");
    auto box = ScriptedMsgBox::Install();
    box->Answers({kMsgNo, kMsgYes});
    AdvancedSecurityLogic logic = Loaded();
    ASSERT_EQ(logic.ListCount(), 2);
    logic.ClearPrograms();
    EXPECT_EQ(logic.ListCount(), 2);
    EXPECT_FALSE(logic.IsDirty);
    logic.ClearPrograms();
    EXPECT_EQ(box->Last().prompt, GetMessageText(538));
    EXPECT_EQ(logic.ListCount(), 0);
    EXPECT_EQ(Get("1"), "CorvaneEnt.exe");
    EXPECT_EQ(Get("3"), "   ");
    EXPECT_EQ(Get("2"), "<none>");
    EXPECT_TRUE(logic.IsDirty);
}

TEST_F(RestrictRunLogicTest, DeleteAsksWithTheNumberOfSelectedRows) {
    Put("1", "a.exe");
    Put("2", "b.exe");
    Put("3", "c.exe");
    auto box = ScriptedMsgBox::Install();
    box->Answers({kMsgNo, kMsgYes});
    AdvancedSecurityLogic logic = Loaded();
    logic.DeletePrograms({});
    EXPECT_EQ(box->Count(), 0);
    logic.DeletePrograms({"1", "3"});
    EXPECT_EQ(box->Last().prompt, "Are you sure you want to delete the 2 selected items?");
    EXPECT_EQ(logic.ListCount(), 3);
    logic.DeletePrograms({"1", "3"});
    EXPECT_EQ(Listed(logic), std::vector<std::string>{"2=b.exe"});
}

TEST_F(RestrictRunLogicTest, TheSwitchEnablesTheListAndItsButtons) {
    Put("1", "a.exe");
    AdvancedSecurityLogic logic = Loaded();
    EXPECT_FALSE(logic.RestrictRunListEnabled());
    EXPECT_FALSE(logic.AddEnabled() || logic.DeleteEnabled() || logic.ClearEnabled());
    EXPECT_EQ(logic.ListCount(), 1);
    logic.RestrictRunClicked(true);
    EXPECT_TRUE(logic.IsDirty);
    EXPECT_TRUE(logic.AddEnabled() && logic.DeleteEnabled() && logic.ClearEnabled());
    auto box = ScriptedMsgBox::Install();
    box->Answer(kMsgYes);
    logic.ClearPrograms();
    EXPECT_TRUE(logic.AddEnabled());
    EXPECT_FALSE(logic.DeleteEnabled() || logic.ClearEnabled());
}

// Add, Delete and Clear each reload the list under the hourglass: it comes
// once the registry holds the change and goes once the list shows it.
TEST_F(RestrictRunLogicTest, AddDeleteAndClearReloadTheListUnderTheHourglass) {
    Put("1", "a.exe");
    auto box = ScriptedMsgBox::Install();
    box->SetDefaultAnswer(kMsgYes);
    SecurityWindowServices services = Services();
    std::vector<std::string> pointer;
    AdvancedSecurityLogic* shown = nullptr;
    services.busyPointer = [&](bool busy) {
        pointer.push_back((busy ? "Busy " : "Idle ") + std::to_string(RestrictRunNames().size()) + "/" +
                          std::to_string(shown ? shown->ListCount() : -1));
    };
    AdvancedSecurityLogic logic(services);
    logic.LoadSettings();
    shown = &logic;
    const struct {
        const char* what;
        std::function<void()> command;
        std::vector<std::string> pointer;
    } rows[] = {
        {"Add", [&] { logic.AddProgram(std::string("/usr/bin/b.exe")); }, {"Busy 2/1", "Idle 2/2"}},
        {"Delete", [&] { logic.DeletePrograms({"1"}); }, {"Busy 1/2", "Idle 1/1"}},
        {"Clear", [&] { logic.ClearPrograms(); }, {"Busy 0/1", "Idle 0/0"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        pointer.clear();
        row.command();
        EXPECT_EQ(pointer, row.pointer);
    }
}

TEST_F(RestrictRunLogicTest, ACancelledChooserChangesNothing) {
    auto box = ScriptedMsgBox::Install();
    AdvancedSecurityLogic logic = Loaded();
    logic.AddProgram(std::nullopt);
    EXPECT_FALSE(logic.IsDirty);
    EXPECT_TRUE(RestrictRunNames().empty());
    EXPECT_EQ(box->Count(), 0);
}

}  // namespace
}  // namespace corvane::testing
