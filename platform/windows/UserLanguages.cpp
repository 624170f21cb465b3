#include "UserLanguages.h"

#include "WidePath.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {

// From the process's own environment block: the C runtime's copy may not
// have been made wide in a program entered by main.
std::string Variable(const wchar_t* name) {
    static wchar_t value[WidePathMax];
    const DWORD length = GetEnvironmentVariableW(name, value, WidePathMax);
    if (length == 0 || length >= WidePathMax) {
        return "";
    }
    return Utf8FromWide(value);
}

std::string InterfaceLanguage() {
    switch (PRIMARYLANGID(GetUserDefaultUILanguage())) {
    case LANG_GERMAN:
        return "de";
    case LANG_FRENCH:
        return "fr";
    case LANG_SPANISH:
        return "es";
    default:
        return "en";
    }
}

} // namespace

UserLanguageSettings UsersLanguageSettings() {
    UserLanguageSettings settings;
    settings.All = Variable(L"LC_ALL");
    settings.Messages = Variable(L"LC_MESSAGES");
    settings.Lang = Variable(L"LANG");
    settings.Language = Variable(L"LANGUAGE");
    settings.Interface = InterfaceLanguage();
    return settings;
}
