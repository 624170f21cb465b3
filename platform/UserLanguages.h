#pragma once

#include <string>

// What the user's environment says of the language of a program's words, as
// it stands; which of it wins is decided elsewhere, once for every platform.
// An unset variable is empty.
struct UserLanguageSettings {
    std::string All;      // LC_ALL
    std::string Messages; // LC_MESSAGES
    std::string Lang;     // LANG
    std::string Language; // LANGUAGE, a colon-separated list
    // On Windows the language the user chose for Windows, which stands for
    // the locale where no variable names one: "de", "fr" or "es", and "en"
    // for any other, since that is no C locale either. Empty elsewhere.
    std::string Interface;
};

UserLanguageSettings UsersLanguageSettings();
