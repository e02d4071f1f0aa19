#pragma once

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <memory>
#include <string>
#include <vector>

#include "admin/catalogue/websites_programs/frm_program_details.h"
#include "admin/catalogue/websites_programs/frm_website_details.h"
#include "support/user_admin_test.h"
#include "catalogue/program.h"
#include "catalogue/user_program.h"
#include "catalogue/user_website.h"
#include "catalogue/website.h"
#include "ui/helpers/top_level_form_registry.h"

namespace corvane::test {

enum class Kind { Website, Program };

inline const char* KindName(Kind kind) { return kind == Kind::Website ? "website" : "program"; }

// An entry of either catalogue as the tests see it.
struct Entry {
    std::string key;
    std::string description;
    std::int32_t accessLevel = 1;
    std::string otherAccess;
};

class CatalogueTest : public UserAdminTest {
protected:
    void SetUp() override {
        UserAdminTest::SetUp();
        ui::InstallTopLevelFormRegistry();
    }

    static std::int32_t AddEntry(Kind kind, const Entry& e) {
        if (kind == Kind::Website) {
            Website w;
            w.SetURL(e.key);
            w.SetDescription(e.description);
            w.SetAccessLevel(e.accessLevel);
            w.SetOtherAccess(e.otherAccess);
            w.AddNew();
            return w.WebsiteID();
        }
        Program p;
        p.SetProgramPathName(e.key);
        p.SetDescription(e.description);
        p.SetAccessLevel(e.accessLevel);
        p.SetOtherAccess(e.otherAccess);
        p.AddNew();
        return p.ProgramID();
    }

    // Every valid entry in record order.
    static std::vector<Entry> Entries(Kind kind) {
        std::vector<Entry> out;
        if (kind == Kind::Website) {
            Website w;
            if (w.IsEmpty()) return out;
            for (w.MoveFirst(); !w.IsEOF(); w.MoveNext())
                if (w.ValidRecord()) out.push_back({w.URL(), w.Description(), w.AccessLevel(), w.OtherAccess()});
        } else {
            Program p;
            if (p.IsEmpty()) return out;
            for (p.MoveFirst(); !p.IsEOF(); p.MoveNext())
                if (p.ValidRecord())
                    out.push_back({p.ProgramPathName(), p.Description(), p.AccessLevel(), p.OtherAccess()});
        }
        return out;
    }

    static std::unique_ptr<CatalogueEntryEditor> NewEditor(Kind kind) {
        if (kind == Kind::Website) return std::make_unique<frmWebsiteDetails>();
        return std::make_unique<frmProgramDetails>();
    }

    // An editor shown and through its first activation.
    static std::unique_ptr<CatalogueEntryEditor> OpenEditor(Kind kind, const std::string& key) {
        auto editor = NewEditor(kind);
        editor->IsNew = key.empty();
        editor->SetKey(key);
        editor->show();
        editor->Activate();
        return editor;
    }

    static void AddWebsiteLink(const std::string& login, const std::string& url) {
        UserWebsite link;
        link.SetUserLogin(login);
        link.SetURL(url);
        link.SetActive(-1);
        link.AddNew();
    }
    static void AddProgramLink(const std::string& login, const std::string& path) {
        UserProgram link;
        link.SetUserLogin(login);
        link.SetProgram(path);
        link.SetActive(-1);
        link.AddNew();
    }
    // "login=url" of every valid website link in record order.
    static std::vector<std::string> WebsiteLinks() {
        std::vector<std::string> out;
        UserWebsite link;
        if (link.IsEmpty()) return out;
        for (link.MoveFirst(); !link.IsEOF(); link.MoveNext())
            if (link.ValidRecord()) out.push_back(link.UserLogin() + "=" + link.URL());
        return out;
    }
};

}  // namespace corvane::test
