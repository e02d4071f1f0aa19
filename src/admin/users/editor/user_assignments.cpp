// The Programs and Internet tabs' lists: one design over the website and the program
// catalogue, writing the user's links at once on Add and Remove and again at OK.
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "admin/users/editor/user_editor_model.h"
#include "catalogue/program.h"
#include "catalogue/user_program.h"
#include "catalogue/user_website.h"
#include "catalogue/website.h"
#include "platform/core/error_trap.h"
#include "platform/core/text.h"
#include "platform/settings/value_text.h"
#include "recordstore/trapped_walk.h"
#include "recordstore/user.h"

namespace corvane {

namespace {

struct WebsiteSide {
    using Catalogue = Website;
    using Link = UserWebsite;
    static constexpr const char* kLoad = "frmUserDetails.LoadWebsites";
    static constexpr const char* kLoadDefined = "frmUserDetails.LoadDefinedWebsites";
    static constexpr const char* kSave = "frmUserDetails.SaveWebsites";
    static constexpr const char* kAdd = "frmUserDetails.cmdAddWebsite_Click";
    static constexpr const char* kRemove = "frmUserDetails.cmdRemoveWebsite_Click";
    static std::string Key(const Website& w) { return w.URL(); }
    static std::int32_t Id(const Website& w) { return w.WebsiteID(); }
    static std::string LinkKey(const UserWebsite& l) { return l.URL(); }
    static void SetLinkKey(UserWebsite& l, std::string key) { l.SetURL(std::move(key)); }
    static std::int32_t LinkId(const UserWebsite& l) { return l.WebsiteID(); }
    static constexpr int kKeyField = Website::kURL;
    static UserEditorModel::SideRead& Kept(UserEditorModel::LinksRead& read) { return read.websites; }
};

struct ProgramSide {
    using Catalogue = Program;
    using Link = UserProgram;
    static constexpr const char* kLoad = "frmUserDetails.LoadPrograms";
    static constexpr const char* kLoadDefined = "frmUserDetails.LoadDefinedPrograms";
    static constexpr const char* kSave = "frmUserDetails.SavePrograms";
    static constexpr const char* kAdd = "frmUserDetails.cmdAddProgram_Click";
    static constexpr const char* kRemove = "frmUserDetails.cmdRemoveProgram_Click";
    static std::string Key(const Program& p) { return p.ProgramPathName(); }
    static std::int32_t Id(const Program& p) { return p.ProgramID(); }
    static std::string LinkKey(const UserProgram& l) { return l.Program(); }
    static void SetLinkKey(UserProgram& l, std::string key) { l.SetProgram(std::move(key)); }
    static std::int32_t LinkId(const UserProgram& l) { return l.UserProgramID(); }
    static constexpr int kKeyField = Program::kProgramPathName;
    static UserEditorModel::SideRead& Kept(UserEditorModel::LinksRead& read) { return read.programs; }
};

// One side's operations over its two lists. The lookups and the links written during the
// visit use the login the editor was opened for.
template <typename Side>
class Assignments {
public:
    Assignments(UserEditorModel& editor, AssignmentList& defined, AssignmentList& assigned)
        : editor_(editor), defined_(defined), assigned_(assigned) {}

    // Row makers: a row only for a valid catalogue record.
    void AddDefined(const typename Side::Catalogue& entry) {
        if (entry.ValidRecord()) defined_.Append({Side::Key(entry), Side::Id(entry), {}});
    }
    void AddSelected(const typename Side::Catalogue& entry, const typename Side::Link& link) {
        if (entry.ValidRecord()) AppendSelected(Side::Key(entry), Side::Id(entry), Side::LinkId(link));
    }

    void LoadAssigned() {
        Records links;
        RunTrapped(Side::kLoad, {
                                    [&] { assigned_.Clear(); },
                                    [&] { links = UserLinks(); },
                                    [&] {
                                        if (!links || links->empty()) return;
                                        // The catalogue read once for all the links.
                                        std::unordered_map<std::string, const Record*> byKey;
                                        const Records catalogue = Catalogue();
                                        for (const Record& entry : *catalogue)
                                            byKey.try_emplace(MatchKey(entry.key), &entry);
                                        for (const Record& link : *links) {
                                            const auto entry = byKey.find(MatchKey(link.key));
                                            if (entry != byKey.end())
                                                AppendSelected(entry->second->key, entry->second->number, link.number);
                                        }
                                    },
                                    [&] {
                                        // An empty collection leaves the buttons as they were.
                                        if (links && !links->empty()) editor_.EnableListButtons();
                                    },
                                });
    }

    void LoadDefined() {
        std::unordered_set<std::string> linked;
        RunTrapped(Side::kLoadDefined, {
                                           [&] { defined_.Clear(); },
                                           [&] { linked = LinkedKeys(); },
                                           [&] {
                                               const Records catalogue = Catalogue();
                                               for (const Record& entry : *catalogue)
                                                   if (linked.count(MatchKey(entry.key)) == 0)
                                                       defined_.Append({entry.key, entry.number, {}});
                                           },
                                           [&] { editor_.EnableListButtons(); },
                                       });
    }

    void Add() {
        if (defined_.CurrentIndex() < 0) return;
        editor_.Busy(true);
        std::vector<std::size_t> setAside;
        bool carriedOn = true;
        for (std::size_t i = 0; carriedOn && i < defined_.Rows().size(); ++i) {
            const AssignmentRow row = defined_.Rows()[i];
            if (!row.selected || row.text.empty()) continue;
            const std::string key = text::Trim(row.text);
            typename Side::Catalogue entry;
            typename Side::Link link;
            bool exists = false;
            bool accountGone = false;
            carriedOn = RunTrapped(Side::kAdd, {
                                                   [&] { entry.Load(key); },
                                                   [&] { exists = link.Exists(key, editor_.UserLogin); },
                                                   [&] {
                                                       if (exists) {
                                                           setAside.push_back(i);
                                                           return;
                                                       }
                                                       // Only while the account stands under this
                                                       // login: a link of a login no account has
                                                       // would pass to the next account of that name.
                                                       accountGone = !User().WhileValid(editor_.UserID, editor_.UserLogin, [&] {
                                                           link.SetUserLogin(editor_.UserLogin);
                                                           Side::SetLinkKey(link, key);
                                                           link.AddNew();
                                                       });
                                                       if (accountGone) editor_.UserMissing(Side::kAdd);
                                                       AddSelected(entry, link);
                                                   },
                                               });
            if (accountGone) carriedOn = false;
        }
        if (carriedOn) {
            defined_.RemoveAt(setAside);
            LoadDefined();
        }
        editor_.Busy(false);
    }

    void Remove() {
        if (assigned_.CurrentIndex() < 0) return;
        editor_.Busy(true);
        std::vector<std::size_t> setAside;
        // Every selected link through one link object, as one change of the link table.
        typename Side::Link link;
        TrappedChange change(link);
        bool carriedOn = RunTrapped(Side::kRemove, {change.Step([&] { change.Begin(); })});
        for (std::size_t i = 0; carriedOn && i < assigned_.Rows().size(); ++i) {
            const AssignmentRow row = assigned_.Rows()[i];
            if (!row.selected) continue;
            typename Side::Catalogue entry;
            std::int32_t number = 0;
            carriedOn = RunTrapped(Side::kRemove, {
                                                      change.Step([&] {
                                                          if (entry.Load(text::Trim(row.text))) AddDefined(entry);
                                                      }),
                                                      [&] {
                                                          // The key is "M" and the link's record number.
                                                          const std::string key = text::Trim(row.key);
                                                          number = key.empty() ? 0 : TextToLong(key.substr(1));
                                                      },
                                                      change.Step([&] { link.Delete(number); }),
                                                      [&] { setAside.push_back(i); },
                                                  });
        }
        // The lists follow only a change that was written.
        carriedOn = RunTrapped(Side::kRemove, {[&] { change.End(); }}) && carriedOn && !change.Lost();
        if (carriedOn) {
            assigned_.RemoveAt(setAside);
            LoadDefined();
            assigned_.SelectFirstItemInList();
        }
        editor_.Busy(false);
    }

    // Every shown link again under the login in the box, so a renamed account keeps them.
    void Save() {
        const std::string newLogin = text::Trim(editor_.login);
        // Where each key's first link of the login lies, from one pass over the links; a load
        // there that no longer finds that link searches as before.
        std::unordered_map<std::string, std::int32_t> firstLink;
        if (!RunTrapped(Side::kSave, {[&] {
                firstLink.clear();
                const Records links = UserLinks();
                for (const Record& link : *links)
                    firstLink.try_emplace(MatchKey(link.key), link.number);
            }}))
            return;
        const auto loadFirst = [&](typename Side::Link& link, const std::string& key) {
            const auto at = firstLink.find(MatchKey(key));
            if (at == firstLink.end()) return false;
            if (link.LoadRecordNumber(at->second) && text::Equals(text::TrimSpaces(Side::LinkKey(link)), text::TrimSpaces(key)) &&
                text::Equals(text::TrimSpaces(link.UserLogin()), text::TrimSpaces(editor_.UserLogin)))
                return true;
            return link.Load(key, editor_.UserLogin);
        };
        // Every row through one link object, as one change of the link table.
        typename Side::Link link;
        TrappedChange change(link);
        if (!RunTrapped(Side::kSave, {change.Step([&] { change.Begin(); })})) return;
        for (const AssignmentRow& row : assigned_.Rows()) {
            const bool carriedOn = RunTrapped(Side::kSave, {change.Step([&] {
                                                  link.Clear();
                                                  const bool found = loadFirst(link, row.text);
                                                  link.SetUserLogin(newLogin);
                                                  Side::SetLinkKey(link, row.text);
                                                  if (found) {
                                                      link.SaveChanges();
                                                  } else {
                                                      link.AddNew();
                                                      // Under the same login, a later row of that key finds it.
                                                      if (text::Equals(newLogin, text::Trim(editor_.UserLogin)))
                                                          firstLink.try_emplace(MatchKey(row.text), link.Loc());
                                                  }
                                              })});
            if (!carriedOn) break;
        }
        RunTrapped(Side::kSave, {[&] { change.End(); }});
    }

private:
    // Keys compare trimmed and without letter case, as the table searches
    // compare them.
    static std::string MatchKey(std::string_view key) { return text::ToLower(text::TrimSpaces(key)); }

    using Record = UserEditorModel::KeyedRecord;
    using Records = std::shared_ptr<const std::vector<Record>>;

    // Every valid record of a table in record order, key and number, in one pass that
    // decodes only the key: those LoadData read already for this side's other list, else
    // read now. links: only the user's links.
    Records ReadOnce(Records UserEditorModel::SideRead::*kept, bool links) {
        auto& read = Side::Kept(editor_.linksRead);
        if (editor_.linksRead.sharing && read.*kept) return read.*kept;
        auto records = std::make_shared<std::vector<Record>>();
        if (links) {
            const std::string login = RecordEngine::MatchBytes(editor_.UserLogin);
            typename Side::Link table;
            table.ScanValid([&](const SlotView& link) {
                if (link.Equals(Side::Link::kUserLogin, login))
                    records->push_back({link.Text(Side::Link::kKey), link.RecordNumber()});
                return true;
            });
        } else {
            typename Side::Catalogue table;
            table.ScanValid([&](const SlotView& entry) {
                records->push_back({entry.Text(Side::kKeyField), entry.RecordNumber()});
                return true;
            });
        }
        if (editor_.linksRead.sharing) read.*kept = records;
        return records;
    }
    Records Catalogue() { return ReadOnce(&UserEditorModel::SideRead::catalogue, false); }
    // The user's valid links in record order.
    Records UserLinks() { return ReadOnce(&UserEditorModel::SideRead::links, true); }

    // The keys the user has a valid link for.
    std::unordered_set<std::string> LinkedKeys() {
        std::unordered_set<std::string> keys;
        const Records links = UserLinks();
        for (const Record& link : *links) keys.insert(MatchKey(link.key));
        return keys;
    }

    void AppendSelected(const std::string& key, std::int32_t id, std::int32_t linkNumber) {
        assigned_.Append({key, id, "M" + std::to_string(linkNumber)});
    }

    UserEditorModel& editor_;
    AssignmentList& defined_;
    AssignmentList& assigned_;
};

}  // namespace

void UserEditorModel::LoadWebsites() { Assignments<WebsiteSide>(*this, definedWebsites, selectedWebsites).LoadAssigned(); }
void UserEditorModel::LoadDefinedWebsites() { Assignments<WebsiteSide>(*this, definedWebsites, selectedWebsites).LoadDefined(); }
void UserEditorModel::LoadPrograms() { Assignments<ProgramSide>(*this, definedPrograms, selectedPrograms).LoadAssigned(); }
void UserEditorModel::LoadDefinedPrograms() { Assignments<ProgramSide>(*this, definedPrograms, selectedPrograms).LoadDefined(); }
void UserEditorModel::SaveWebsites() { Assignments<WebsiteSide>(*this, definedWebsites, selectedWebsites).Save(); }
void UserEditorModel::SavePrograms() { Assignments<ProgramSide>(*this, definedPrograms, selectedPrograms).Save(); }
void UserEditorModel::AddWebsites() { Assignments<WebsiteSide>(*this, definedWebsites, selectedWebsites).Add(); }
void UserEditorModel::RemoveWebsites() { Assignments<WebsiteSide>(*this, definedWebsites, selectedWebsites).Remove(); }
void UserEditorModel::AddPrograms() { Assignments<ProgramSide>(*this, definedPrograms, selectedPrograms).Add(); }
void UserEditorModel::RemovePrograms() { Assignments<ProgramSide>(*this, definedPrograms, selectedPrograms).Remove(); }

}  // namespace corvane
