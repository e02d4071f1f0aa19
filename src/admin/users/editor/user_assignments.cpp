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
    static std::shared_ptr<UserWebsites> LoadAll(UserWebsite& l, const std::string& login) {
        l.LoadWebsites(login);
        return l.UserWebsites();
    }
    static std::shared_ptr<UserWebsites>& Kept(UserEditorModel::LinksRead& read) { return read.websites; }
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
    static std::shared_ptr<UserPrograms> LoadAll(UserProgram& l, const std::string& login) {
        l.LoadPrograms(login);
        return l.UserPrograms();
    }
    static std::shared_ptr<UserPrograms>& Kept(UserEditorModel::LinksRead& read) { return read.programs; }
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
        if (entry.ValidRecord()) AppendSelected(Side::Key(entry), Side::Id(entry), link);
    }

    void LoadAssigned() {
        std::shared_ptr<LinkCollection<typename Side::Link>> found;
        RunTrapped(Side::kLoad, {
                                    [&] { assigned_.Clear(); },
                                    [&] { found = UserLinks(); },
                                    [&] {
                                        if (!found || found->Count() == 0) return;
                                        // The catalogue read once for all the links.
                                        const auto catalogue = CatalogueByKey();
                                        for (const auto& link : *found) {
                                            if (!link->ValidRecord()) continue;
                                            const auto entry = catalogue.find(MatchKey(Side::LinkKey(*link)));
                                            if (entry != catalogue.end())
                                                AppendSelected(entry->second.key, entry->second.id, *link);
                                        }
                                    },
                                    [&] {
                                        // An empty collection leaves the buttons as they were.
                                        if (found && found->Count() > 0) editor_.EnableListButtons();
                                    },
                                });
    }

    void LoadDefined() {
        typename Side::Catalogue entry;
        std::unordered_set<std::string> linked;
        RunTrapped(Side::kLoadDefined, {
                                           [&] { defined_.Clear(); },
                                           [&] { linked = LinkedKeys(); },
                                           [&] {
                                               entry.ForEachValid([&] {
                                                   if (linked.count(MatchKey(Side::Key(entry))) == 0) AddDefined(entry);
                                               });
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
        bool carriedOn = true;
        for (std::size_t i = 0; carriedOn && i < assigned_.Rows().size(); ++i) {
            const AssignmentRow row = assigned_.Rows()[i];
            if (!row.selected) continue;
            typename Side::Catalogue entry;
            typename Side::Link link;
            std::int32_t number = 0;
            carriedOn = RunTrapped(Side::kRemove, {
                                                      [&] {
                                                          if (entry.Load(text::Trim(row.text))) AddDefined(entry);
                                                      },
                                                      [&] {
                                                          // The key is "M" and the link's record number.
                                                          const std::string key = text::Trim(row.key);
                                                          number = key.empty() ? 0 : TextToLong(key.substr(1));
                                                      },
                                                      [&] { link.Delete(number); },
                                                      [&] { setAside.push_back(i); },
                                                  });
        }
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
        for (const AssignmentRow& row : assigned_.Rows()) {
            const bool carriedOn = RunTrapped(Side::kSave, {[&] {
                                                  typename Side::Link link;
                                                  const bool found = link.Load(row.text, editor_.UserLogin);
                                                  link.SetUserLogin(newLogin);
                                                  Side::SetLinkKey(link, row.text);
                                                  if (found) link.SaveChanges();
                                                  else link.AddNew();
                                              }});
            if (!carriedOn) break;
        }
    }

private:
    struct Entry {
        std::string key;
        std::int32_t id = 0;
    };

    // Keys compare trimmed and without letter case, as the table searches
    // compare them.
    static std::string MatchKey(std::string_view key) { return text::ToLower(text::TrimSpaces(key)); }

    // The catalogue in one pass: the first valid record of each key, as a
    // search by key finds it.
    static std::unordered_map<std::string, Entry> CatalogueByKey() {
        std::unordered_map<std::string, Entry> byKey;
        typename Side::Catalogue entry;
        entry.ForEachValid([&] { byKey.try_emplace(MatchKey(Side::Key(entry)), Entry{Side::Key(entry), Side::Id(entry)}); });
        return byKey;
    }

    // The user's valid links in record order: those LoadData read for this side's other
    // list, else one pass over the link file.
    std::shared_ptr<LinkCollection<typename Side::Link>> UserLinks() {
        auto& kept = Side::Kept(editor_.linksRead);
        if (editor_.linksRead.sharing && kept) return kept;
        typename Side::Link links;
        auto found = Side::LoadAll(links, editor_.UserLogin);
        if (editor_.linksRead.sharing) kept = found;
        return found;
    }

    // The keys the user has a valid link for.
    std::unordered_set<std::string> LinkedKeys() {
        std::unordered_set<std::string> keys;
        const auto found = UserLinks();
        if (found)
            for (const auto& link : *found)
                if (link->ValidRecord()) keys.insert(MatchKey(Side::LinkKey(*link)));
        return keys;
    }

    void AppendSelected(const std::string& key, std::int32_t id, const typename Side::Link& link) {
        assigned_.Append({key, id, "M" + std::to_string(Side::LinkId(link))});
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
