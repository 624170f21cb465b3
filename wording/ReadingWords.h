#pragma once

#include <string>
#include <string_view>

// Words about a way of writing numbers, in the run's language.

// How a style writes numbers, for a person: "with decimal commas", "with
// full stops grouping thousands". The text lasts while the run's language
// stays as it is.
const char* StyleWords(int style);

// The same for a style by its name (StyleName); empty for a name no style
// has.
std::string StyleWordsNamed(std::string_view name);
