#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "recordstore/link_form.h"

namespace corvane {

class UserProgram;
// The program links of one login or one path, as LoadPrograms and LoadUsers hand them out.
using UserPrograms = LinkCollection<UserProgram>;

// Program assignments, userprograms.sec: slot 554 bytes, data 279; UserLogin 0/20, Program
// 20/255, Active 275, Deleted 277. The key is the pair (Program, UserLogin), blank only when
// both are; the identity UserProgramID is the link's own record number, not the catalogue's
// ProgramID. TableName "UserPrograms". No record locks and no count member.
class UserProgram : public LinkForm<UserProgram> {
public:
    static constexpr const char* kCollectionName = "UserPrograms";

    UserProgram();
    static const RecordDescription& Table();

    // The collection the last LoadPrograms or LoadUsers built; null before the first.
    std::shared_ptr<corvane::UserPrograms> UserPrograms() const { return Links(); }
    void SetUserPrograms(std::shared_ptr<corvane::UserPrograms> v) { SetLinks(std::move(v)); }
    std::int32_t UserProgramID() const { return Identity(); }
    void SetUserProgramID(std::int32_t v) { SetIdentity(v); }
    // The program's full path.
    std::string Program() const { return KeyText(); }
    void SetProgram(std::string v) { SetKeyText(std::move(v)); }

    // Load(strProgram, strUserLogin) and Exists(strProgram, strUserLogin): the path comes first.

    // Every valid link of the login into a new UserPrograms, in record order (see
    // UserMember::LoadGroup). Errors under UserProgram.LoadPrograms.
    bool LoadPrograms(std::string_view strUserLogin) { return LoadLinks("LoadPrograms", kUserLogin, strUserLogin); }
    // The login's valid links as LoadPrograms finds them, in one pass that loads nothing: each
    // goes to visit as it lies in the file (Program at kKey); false from visit stops.
    void ScanPrograms(std::string_view strUserLogin, const SlotVisit& visit) {
        ScanMatching("LoadPrograms", kUserLogin, strUserLogin, visit);
    }
    // Every valid link of the path, under UserProgram.LoadUsers.
    bool LoadUsers(std::string_view strProgram) { return LoadLinks("LoadUsers", kKey, strProgram); }
};

}  // namespace corvane
