#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// The catalogue as po/make_catalogue.py writes it from the PO files: for
// each language, its translated entries sorted by key, so that a lookup is a
// binary search and nothing is built at the start of a run.

struct CatalogueEntry {
    // The msgid, after its msgctxt and a U+0004 where it has one, as gettext
    // keys them.
    std::string_view Key;
    // Forms[First] onwards: one form, or one per plural form.
    std::uint32_t First;
    std::uint32_t Count;
};

struct CatalogueLanguage {
    std::string_view Code; // "de", as the PO file's Language
    const CatalogueEntry* Entries;
    std::size_t EntryCount;
    const std::string_view* Forms;
    // The PO file's plural rule, within the forms it has.
    std::size_t (*PluralForm)(std::uint64_t count);
};

struct CatalogueTables {
    const CatalogueLanguage* Languages;
    std::size_t LanguageCount;
};

// The catalogue compiled from po/*.po.
extern const CatalogueTables CompiledCatalogue;

// The words of the run from other tables than the compiled ones, so that
// tests need not depend on what the translators have written so far.
void UseCatalogue(const CatalogueTables& tables);
