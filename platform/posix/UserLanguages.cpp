#include "UserLanguages.h"

#include <cstdlib>

namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

} // namespace

UserLanguageSettings UsersLanguageSettings() {
    UserLanguageSettings settings;
    settings.All = Variable("LC_ALL");
    settings.Messages = Variable("LC_MESSAGES");
    settings.Lang = Variable("LANG");
    settings.Language = Variable("LANGUAGE");
    return settings;
}
