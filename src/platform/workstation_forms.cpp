#include "platform/workstation_forms.h"

#include <algorithm>
#include <exception>

#include "platform/text.h"

namespace corvane {
namespace {

struct Form {
    int token;
    std::string name;
    FormUnloader unload;
};

std::vector<Form>& Forms() {
    static std::vector<Form> forms;
    return forms;
}

int& NextToken() {
    static int next = 1;
    return next;
}

}  // namespace

int RegisterForm(std::string formName, FormUnloader unload) {
    const int token = NextToken()++;
    Forms().push_back({token, std::move(formName), std::move(unload)});
    return token;
}

void UnregisterForm(int token) {
    auto& forms = Forms();
    forms.erase(std::remove_if(forms.begin(), forms.end(),
                               [token](const Form& f) { return f.token == token; }),
                forms.end());
}

bool IsFormLoaded(std::string_view formName) {
    const auto& forms = Forms();
    return std::any_of(forms.begin(), forms.end(),
                       [&](const Form& f) { return text::Equals(f.name, formName); });
}

void UnloadAllForms(bool keepAll) {
    if (keepAll) return;
    // Unloading a window may load or unload others: walk a snapshot of the
    // tokens and look each one up again before using it.
    std::vector<int> tokens;
    for (const auto& f : Forms()) tokens.push_back(f.token);
    for (int token : tokens) {
        auto& forms = Forms();
        auto it = std::find_if(forms.begin(), forms.end(),
                               [token](const Form& f) { return f.token == token; });
        if (it == forms.end() || text::Equals(it->name, "frmMain") || !it->unload) continue;
        const FormUnloader unload = it->unload;
        try {
            unload();
        } catch (const std::exception&) {
            // A window that refuses to unload stays; the others still go.
        }
    }
}

std::vector<std::string> LoadedFormNames() {
    std::vector<std::string> names;
    for (const auto& f : Forms()) names.push_back(f.name);
    return names;
}

}  // namespace corvane
