#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "browser/rule/website_decision.h"

namespace corvane {

// The files the rule reads: users.sec, websites.sec, userwebsites.sec.
using WebsiteRulePaths = std::array<std::string, 3>;
WebsiteRulePaths CurrentWebsiteRulePaths();

// Each reader scans its file once in large blocks, decoding only the fields the rule needs
// of the records it keeps, and marks its part read. A file that cannot be opened raises as
// the table's Load does (vbObjectError + 11); other failures raise as the file reports them.

// Every record of the three files (the kept copy).
void ReadAllWebsiteTables(const WebsiteRulePaths& paths, WebsiteTables& t);

// The record of the login, if any.
void ReadWebsiteRuleUser(const std::string& path, std::string_view UserLogin, WebsiteTables& t);
// The first catalogue record whose address equals URL (trimmed, letter case ignored).
void ReadWebsiteOf(const std::string& path, std::string_view URL, WebsiteTables& t);
// The first catalogue record that reads as the same address as tested (none when tested is
// nothing), kept under its own text.
void ReadWebsiteLike(const std::string& path, const std::optional<WebsiteAddress>& tested, WebsiteTables& t);
// The login's links that may admit tested: those on tested's host, or that only a full read
// can place (all of them when tested is nothing). A login with links keeps an entry even when
// none is kept.
void ReadLinksOf(const std::string& path, std::string_view UserLogin, const std::optional<WebsiteAddress>& tested,
                 WebsiteTables& t);

}  // namespace corvane
