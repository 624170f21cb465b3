#include "Catalogue.h"

#include "CatalogueTables.h"
#include "LanguageChoice.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

// Compiled from catalogue/*.po beside this file.
extern const CatalogueTables SampleCatalogue;

namespace {

TEST(Catalogue, LanguageNamed) {
    const struct {
        std::string_view Name;
        bool Known;
        Language Spoken;
    } rows[] = {
        {"de", true, Language::German},          {"de_DE", true, Language::German},
        {"de_AT.UTF-8", true, Language::German}, {"fr_CH@euro", true, Language::French},
        {"es_MX", true, Language::Spanish},      {"es-ES", true, Language::Spanish},
        {"C", true, Language::English},          {"C.UTF-8", true, Language::English},
        {"POSIX", true, Language::English},      {"en_US.UTF-8", true, Language::English},
        {"x-pseudo", true, Language::Pseudo},    {"it", false, Language::English},
        {"", false, Language::English},          {"deu", false, Language::English},
        {"d", false, Language::English},
    };
    for (const auto& row : rows) {
        Language language = Language::English;
        EXPECT_EQ(LanguageNamed(row.Name, language), row.Known) << row.Name;
        EXPECT_EQ(language, row.Spoken) << row.Name;
    }
}

// gettext's order: LC_ALL, LC_MESSAGES, LANG name the locale; LANGUAGE comes
// first unless that is C.
TEST(Catalogue, ChosenLanguage) {
    const struct {
        UserLanguageSettings Settings; // All, Messages, Lang, Language, Interface
        Language Expected;
    } rows[] = {
        {{}, Language::English},
        {{"", "", "de_DE.UTF-8", "", ""}, Language::German},
        {{"fr_FR", "es_ES", "de_DE", "", ""}, Language::French},
        {{"", "es_ES", "de_DE", "", ""}, Language::Spanish},
        {{"", "", "de_DE", "it:fr:de", ""}, Language::French},
        {{"", "", "de_DE", "it", ""}, Language::German},
        {{"", "", "it_IT", "it", ""}, Language::English},
        {{"", "", "de_DE", "x-pseudo", ""}, Language::Pseudo},
        {{"", "", "de_DE", ":en:", ""}, Language::English},
        // In the C locale LANGUAGE has no say, as with gettext.
        {{"", "", "", "fr", ""}, Language::English},
        {{"C", "", "de_DE", "fr", ""}, Language::English},
        {{"POSIX", "", "", "fr", ""}, Language::English},
        {{"", "", "C.UTF-8", "fr", ""}, Language::French},
        // Windows: the interface language stands for an unset locale only.
        {{"", "", "", "", "es"}, Language::Spanish},
        {{"", "", "", "de", "en"}, Language::German},
        {{"", "", "fr_FR", "", "es"}, Language::French},
        {{"C", "", "", "", "es"}, Language::English},
    };
    for (const auto& row : rows) {
        const UserLanguageSettings& settings = row.Settings;
        EXPECT_EQ(ChosenLanguage(settings), row.Expected)
            << "LC_ALL=" << settings.All << " LC_MESSAGES=" << settings.Messages
            << " LANG=" << settings.Lang << " LANGUAGE=" << settings.Language
            << " interface=" << settings.Interface;
    }
}

class CatalogueWords : public testing::Test {
  protected:
    void SetUp() override { UseCatalogue(SampleCatalogue); }
    void TearDown() override {
        UseCatalogue(CompiledCatalogue);
        SetLanguage(Language::English);
    }
};

// Each row says its sentence in its language, from the sample catalogue.
TEST_F(CatalogueWords, Sentences) {
    const struct {
        Language Spoken;
        std::string (*Said)();
        std::string_view Expected;
    } rows[] = {
        {Language::English,
         [] {
             return Say("Reading {file}", {{"file", "a.txt"}});
         },
         "Reading a.txt"},
        {Language::German,
         [] {
             return Say("Reading {file}", {{"file", "a.txt"}});
         },
         "Lese a.txt"},
        {Language::German,
         [] {
             return Say("{first} before {second}", {{"first", "A"}, {"second", "B"}});
         },
         "B nach A"},
        // A value is shown as given, never read for placeholders of its own.
        {Language::German,
         [] {
             return Say("Reading {file}", {{"file", "{file}.txt"}});
         },
         "Lese {file}.txt"},
        {Language::German,
         [] {
             return Say("{first} before {second}", {{"first", "A"}});
         },
         "{second} nach A"},
        {Language::German,
         [] {
             return Say("{a{b}} {} {a b} {b", {{"b", "B"}});
         },
         "{aB} {} {a b} {b"},
        {Language::German, [] { return Say("Level"); }, "Niveau"},
        {Language::German, [] { return SayIn("column", "Level"); }, "Pegel"},
        {Language::German, [] { return SayIn("", "Level"); }, "Level"},
        {Language::German, [] { return Say("Two lines\nwith \"quotes\"\tand a tab"); },
         "Zwei Zeilen\nmit \"Anf\xC3\xBChrungszeichen\"\tund \xC3\xA4 Tab"},
        // Fuzzy, empty, obsolete, absent, and no file for the language: English.
        {Language::German, [] { return Say("Checked"); }, "Checked"},
        {Language::German, [] { return Say("Untranslated"); }, "Untranslated"},
        {Language::German, [] { return Say("Obsolete"); }, "Obsolete"},
        {Language::German,
         [] {
             return Say("Absent {x}", {{"x", "1"}});
         },
         "Absent 1"},
        {Language::Spanish, [] { return Say("Level"); }, "Level"},
        {Language::German, [] { return Say(""); }, ""},
        // French says 0 in the singular, German in the plural.
        {Language::German, [] { return SayCount("{count} line", "{count} lines", 0); }, "0 Zeilen"},
        {Language::German, [] { return SayCount("{count} line", "{count} lines", 1); }, "1 Zeile"},
        {Language::German, [] { return SayCount("{count} line", "{count} lines", 2); }, "2 Zeilen"},
        {Language::French, [] { return SayCount("{count} line", "{count} lines", 0); }, "0 ligne"},
        {Language::French, [] { return SayCount("{count} line", "{count} lines", 1); }, "1 ligne"},
        {Language::French, [] { return SayCount("{count} line", "{count} lines", 2); }, "2 lignes"},
        {Language::German,
         [] { return SayCount("{count} line", "{count} lines", 18446744073709551615u); },
         "18446744073709551615 Zeilen"},
        {Language::English, [] { return SayCount("{count} line", "{count} lines", 1); }, "1 line"},
        {Language::English, [] { return SayCount("{count} line", "{count} lines", 0); }, "0 lines"},
        // A form left empty leaves the whole entry in English.
        {Language::German,
         [] {
             return SayCount("{count} point in {file}", "{count} points in {file}", 1,
                             {{"file", "a"}});
         },
         "1 point in a"},
        {Language::Pseudo,
         [] {
             return Say("Reading {file}", {{"file", "a.txt"}});
         },
         "[\xC5\x94\xC3\xA9\xC3\xA0\xC4\x91\xC3\xAE\xC3\xB1\xC4\x9D a.txt]"},
        {Language::Pseudo, [] { return Say("Wow: {n_1}!"); }, "[\xC5\xB4\xC3\xB6\xC5\xB5: {n_1}!]"},
        {Language::Pseudo, [] { return SayCount("{count} line", "{count} lines", 3); },
         "[3 \xC4\xBC\xC3\xAE\xC3\xB1\xC3\xA9\xC5\xA1]"},
        {Language::English, [] { return ShownNumber(-0.307f); }, "-0.307"},
        {Language::German, [] { return ShownNumber(-0.307f); }, "-0,307"},
        {Language::French, [] { return ShownSigned(0.04f); }, "+0,04"},
        {Language::Spanish, [] { return ShownDecibels(-1.23456); }, "-1,235"},
        {Language::German, [] { return ShownNumber(1e20f); }, "1e+20"},
        {Language::Pseudo, [] { return ShownNumber(10.054f); }, "10.054"},
    };
    for (const auto& row : rows) {
        SetLanguage(row.Spoken);
        EXPECT_EQ(row.Said(), row.Expected) << row.Expected;
    }
}

} // namespace
