#pragma once

#include <string>
#include <string_view>

// Bytes from files and command lines, shown safely. Valid UTF-8 stays as it
// is; in text, a control character and each byte that is no part of valid
// UTF-8 become \xNN; in JSON the string is escaped as JSON requires and such
// a byte becomes U+FFFD, so that the document is always valid UTF-8.
void AppendShownText(std::string& out, std::string_view bytes);
void AppendJsonString(std::string& out, std::string_view bytes);
