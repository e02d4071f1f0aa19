// What the desktop would open a document with, found without the desktop's
// opener, and the check every such start passes.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "platform/system/desktop_opener.h"
#include "platform/system/process_spawn.h"
#include "support/scratch_desktop.h"

using namespace corvane;
using corvane::test_support::DesktopOpenCheckScope;
using corvane::test_support::ScratchDesktop;
using Argv = std::vector<std::string>;

namespace {

TEST(DesktopOpener, ExecLinesTakeTheTargetAsOneArgument) {
    const std::string doc = "/home/a b/notes; rm x.txt";
    const struct {
        const char* exec;
        Argv argv;
    } rows[] = {
        {"editor %f", {"editor", doc}},
        {"editor --new %U", {"editor", "--new", doc}},
        {"editor", {"editor", doc}},  // no field code: the target goes last
        {"editor --file=%u", {"editor", "--file=" + doc}},
        {"\"/opt/my editor/run\" \"a \\\"b\\\" \\\\c\" %F", {"/opt/my editor/run", "a \"b\" \\c", doc}},
        {"editor 100%% %f", {"editor", "100%", doc}},
        {"editor %i %c %k %f", {"editor", doc}},  // codes that add nothing here go
        {"editor  \t %f  ", {"editor", doc}},
        // Lines that cannot be read start nothing.
        {"editor %x %f", {}},
        {"editor \"open %f", {}},
        {"editor %", {}},
        {"", {}},
        {"%f", {}},  // the program never comes from the target
        {"run%u --x", {}},
    };
    for (const auto& row : rows) EXPECT_EQ(ExpandExecLine(row.exec, doc), row.argv) << row.exec;
}

TEST(DesktopOpener, KeyFilesAreReadAsGLibReadsThem) {
    const struct {
        const char* name;
        const char* text;
        bool readable;
    } rows[] = {
        {"groups and keys", "[Desktop Entry]\nType=Application\nExec=editor %f\n", true},
        {"comments, blank and indented lines, CRLF",
         "# a list\n\n  [Default Applications]  \r\n\ttext/plain = editor.desktop;\r\n   # done\n", true},
        {"a localised key and spaces inside a key", "[Desktop Entry]\nName[de_DE@euro]=Editor\nX Key=1\n", true},
        {"an empty file", "", true},
        {"a key before any group", "Exec=evil\n[Desktop Entry]\nExec=editor\n", false},
        {"a page's markup before the group",
         "<html><body><pre>\n[Default Applications]\nx-scheme-handler/https=evil.desktop\n</pre></body></html>\n",
         false},
        {"a page's markup after the keys",
         "[Desktop Entry]\nType=Application\nExec=/usr/bin/evil %u\n</pre></body></html>\n", false},
        {"a line of text in a group", "[Desktop Entry]\nExec=editor\nsome words\n", false},
        {"an empty key", "[Desktop Entry]\n=value\n", false},
        {"a key with a space in front", "[Desktop Entry]\n Exec=a\n x=1\n y =2\n", true},
        {"a bracket in a key", "[Desktop Entry]\nEx]ec=a\n", false},
        {"a bad locale", "[Desktop Entry]\nName[d e]=a\n", false},
        {"text after a group's bracket", "[Desktop Entry] x\nExec=a\n", false},
        {"an unclosed group", "[Desktop Entry\nExec=a\n", false},
        {"an empty group name", "[]\nExec=a\n", false},
        {"not UTF-8", "[Desktop Entry]\nName=\xff\xfe\n", false},
    };
    for (const auto& row : rows) EXPECT_EQ(ParseKeyFile(row.text).has_value(), row.readable) << row.name;
    const auto entry = ParseKeyFile("[A]\nk = v \nk=second\n[B]\nx=1\n");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->at("A").at("k"), "v");
    EXPECT_EQ(entry->at("B").at("x"), "1");
}

// A page saved over the association list and as an application: the markup
// around its key lines makes both unreadable, and nothing starts.
TEST(DesktopOpener, APageSavedAsAnAssociationStartsNothing) {
    const std::string doc = "/data/Readme.txt";
    for (const bool wrapped : {false, true}) {
        ScratchDesktop desktop;
        desktop.Program("evil");
        const auto page = [&](const std::string& keys) {
            return wrapped ? "<!DOCTYPE html>\n<html><body><pre>\n" + keys + "</pre></body></html>\n" : keys;
        };
        std::ofstream(desktop.DataHome() + "/applications/evil.desktop")
            << page("[Desktop Entry]\nType=Application\nExec=" + desktop.Bin() + "/evil %f\n");
        std::ofstream(desktop.ConfigHome() + "/mimeapps.list")
            << page("[Default Applications]\ntext/plain=evil.desktop\n");
        const Argv argv = ResolveDesktopCommand(doc, {"text/plain"}, desktop.Places());
        EXPECT_EQ(argv.empty(), wrapped) << (argv.empty() ? "" : argv.front());
    }
}

TEST(DesktopOpener, WhatTheOpenerReadsIsNamedInOnePlace) {
    const DesktopPlaces places{{"/c1", "/c2"}, {"/d1", "/d2"}, {"gnome"}, {"/bin"}};
    EXPECT_EQ(AssociationListPaths(places),
              (Argv{"/c1/gnome-mimeapps.list", "/c1/mimeapps.list", "/c2/gnome-mimeapps.list", "/c2/mimeapps.list",
                    "/d1/applications/gnome-mimeapps.list", "/d1/applications/mimeapps.list",
                    "/d2/applications/gnome-mimeapps.list", "/d2/applications/mimeapps.list",
                    "/d1/applications/defaults.list", "/d2/applications/defaults.list"}));
    EXPECT_EQ(OpenerReadPlaces(places),
              (Argv{"/c1/gnome-mimeapps.list", "/c1/mimeapps.list", "/c2/gnome-mimeapps.list", "/c2/mimeapps.list",
                    "/d1/applications", "/d2/applications", "/d1/mime", "/d2/mime"}));
    EXPECT_EQ(AutostartEntryPaths(places), (Argv{"/c1/autostart/corvane.desktop", "/c2/autostart/corvane.desktop"}));
}

TEST(DesktopOpener, TheDefaultApplicationOpensWithItsProgramsFullPath) {
    const std::string doc = "/data/Readme.txt";
    const struct {
        const char* name;
        std::function<void(ScratchDesktop&)> setUp;
        Argv (*expected)(const ScratchDesktop&, const std::string&);
    } rows[] = {
        {"resolved",
         [](ScratchDesktop& d) {
             d.Program("editor");
             d.Application("editor.desktop", d.Bin() + "/editor %f");
             d.Associate("text/plain", "editor.desktop");
         },
         [](const ScratchDesktop& d, const std::string& t) { return Argv{d.Bin() + "/editor", t}; }},
        {"a bare name is found on PATH, field codes expanded",
         [](ScratchDesktop& d) {
             d.Program("viewer");
             d.Application("viewer.desktop", "viewer --view %U %i");
             d.Associate("text/plain", "viewer.desktop");
         },
         [](const ScratchDesktop& d, const std::string& t) { return Argv{d.Bin() + "/viewer", "--view", t}; }},
        {"no association", [](ScratchDesktop& d) { d.Program("editor"); d.Application("editor.desktop", "editor %f"); },
         [](const ScratchDesktop&, const std::string&) { return Argv{}; }},
        {"associated with another type",
         [](ScratchDesktop& d) {
             d.Program("editor");
             d.Application("editor.desktop", "editor %f");
             d.Associate("image/png", "editor.desktop");
         },
         [](const ScratchDesktop&, const std::string&) { return Argv{}; }},
        {"the program is missing",
         [](ScratchDesktop& d) {
             d.Application("editor.desktop", d.Bin() + "/editor %f");
             d.Associate("text/plain", "editor.desktop");
         },
         [](const ScratchDesktop&, const std::string&) { return Argv{}; }},
        {"a relative program path is never taken",
         [](ScratchDesktop& d) {
             d.Program("editor");
             d.Application("editor.desktop", "bin/editor %f");
             d.Associate("text/plain", "editor.desktop");
         },
         [](const ScratchDesktop&, const std::string&) { return Argv{}; }},
        {"the desktop entry is missing", [](ScratchDesktop& d) { d.Associate("text/plain", "editor.desktop"); },
         [](const ScratchDesktop&, const std::string&) { return Argv{}; }},
        {"a hidden entry, one whose TryExec is missing, and one that is no application are not installed",
         [](ScratchDesktop& d) {
             d.Program("editor");
             d.Application("hidden.desktop", "editor %f", "Hidden=true\n");
             d.Application("try.desktop", "editor %f", "TryExec=no-such-editor\n");
             d.Associate("text/plain", "hidden.desktop;try.desktop");
         },
         [](const ScratchDesktop&, const std::string&) { return Argv{}; }},
        {"the first installed default wins",
         [](ScratchDesktop& d) {
             d.Program("second");
             d.Application("second.desktop", "second %f");
             d.Associate("text/plain", "gone.desktop;second.desktop");
         },
         [](const ScratchDesktop& d, const std::string& t) { return Argv{d.Bin() + "/second", t}; }},
        {"an entry in a subfolder",
         [](ScratchDesktop& d) {
             d.Program("kwrite");
             std::filesystem::create_directories(d.DataHome() + "/applications/kde");
             std::ofstream(d.DataHome() + "/applications/kde/kwrite.desktop")
                 << "[Desktop Entry]\nType=Application\nExec=kwrite %U\n";
             d.Associate("text/plain", "kde-kwrite.desktop");
         },
         [](const ScratchDesktop& d, const std::string& t) { return Argv{d.Bin() + "/kwrite", t}; }},
        {"the desktop's cache when no default is set, less what the user removed",
         [](ScratchDesktop& d) {
             d.Program("cached");
             d.Program("removed");
             d.Application("cached.desktop", "cached %f");
             d.Application("removed.desktop", "removed %f");
             std::ofstream(d.DataHome() + "/applications/mimeinfo.cache")
                 << "[MIME Cache]\ntext/plain=removed.desktop;cached.desktop;\n";
             std::ofstream(d.ConfigHome() + "/mimeapps.list")
                 << "[Removed Associations]\ntext/plain=removed.desktop;\n";
         },
         [](const ScratchDesktop& d, const std::string& t) { return Argv{d.Bin() + "/cached", t}; }},
    };
    for (const auto& row : rows) {
        ScratchDesktop desktop;
        row.setUp(desktop);
        EXPECT_EQ(ResolveDesktopCommand(doc, {"text/plain"}, desktop.Places()), row.expected(desktop, doc))
            << row.name;
    }
}

TEST(DesktopOpener, AMoreSpecificTypeWinsAndItsParentsFollow) {
    ScratchDesktop desktop;
    const std::string editor = desktop.Editor();
    const std::string logViewer = desktop.Program("logs");
    desktop.Application("logs.desktop", "logs %f");
    const std::vector<std::string> types{"text/x-log", "text/plain"};
    EXPECT_EQ(ResolveDesktopCommand("/a.log", types, desktop.Places()), (Argv{editor, "/a.log"}));
    desktop.Associate("text/x-log", "logs.desktop");
    EXPECT_EQ(ResolveDesktopCommand("/a.log", types, desktop.Places()), (Argv{logViewer, "/a.log"}));
}

TEST(DesktopOpener, DocumentsAreKnownByTheirTypeAndAddressesByTheirScheme) {
    corvane::test_support::TempFolder dir;
    const std::string text = dir.Write("Readme.txt", "read me\n");
    const auto textTypes = DocumentTypes(text);
    ASSERT_FALSE(textTypes.empty());
    EXPECT_EQ(textTypes.front(), "text/plain");
    EXPECT_EQ(std::count(textTypes.begin(), textTypes.end(), "application/octet-stream"), 0);
    EXPECT_EQ(DocumentTypes(dir.Path()), (std::vector<std::string>{"inode/directory"}));
    EXPECT_EQ(DocumentTypes("HTTPS://example.org/a b"), (std::vector<std::string>{"x-scheme-handler/https"}));
    for (const char* nothing : {"", "no-such-file", ":x", "a b:c", "/no/such/file.txt"})
        EXPECT_TRUE(DocumentTypes(nothing).empty()) << nothing;
}

// The decision at the opener: what the check saw is what starts, and
// nothing starts without a yes.
TEST(DesktopOpener, OnlyAProgramTheCheckAllowedStarts) {
    ScratchDesktop desktop;
    corvane::test_support::TempFolder dir;
    const std::string doc = dir.Write("Readme.txt", "read me\n");
    const std::string unknown = "no-desktop-opens:this";
    const std::string editor = desktop.Editor();
    std::vector<Argv> starts;
    SetSpawnFunction([&](const Argv& argv, const std::string&) {
        starts.push_back(argv);
        return 4242;
    });
    const struct {
        const char* name;
        bool installed;
        bool answer;
        std::string target;
        std::vector<std::string> asked;
        int result;
        std::vector<Argv> started;
    } rows[] = {
        {"allowed", true, true, doc, {editor}, 4242, {{editor, doc}}},
        {"refused", true, false, doc, {editor}, kDesktopOpenRefused, {}},
        {"unresolvable, asked with no program", true, true, unknown, {""}, kDesktopOpenRefused, {}},
        {"no check installed", false, true, doc, {}, kDesktopOpenRefused, {}},
    };
    for (const auto& row : rows) {
        starts.clear();
        std::vector<std::string> asked;
        {
            DesktopOpenCheckScope check([&](const std::string& program) {
                asked.push_back(program);
                return row.answer;
            });
            if (!row.installed) SetDesktopOpenCheck(nullptr);
            EXPECT_EQ(OpenWithDesktop(row.target), row.result) << row.name;
        }
        EXPECT_EQ(asked, row.asked) << row.name;
        EXPECT_EQ(starts, row.started) << row.name;
    }
    SetSpawnFunction(nullptr);
}

}  // namespace
