#pragma once

#include "Catalogue.h"
#include "UserLanguages.h"

// The language that gettext would choose from these settings, among those
// with words here; UsersLanguage is this of the run's own settings.
Language ChosenLanguage(const UserLanguageSettings& settings);
