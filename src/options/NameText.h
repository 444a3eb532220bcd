// Text rules for the names of the domain, server and folder lists: trimming and the server form.
#pragma once

#include <string>
#include <string_view>

// True for the white-space bytes a typed name loses at its ends: space, tab, line feed,
// vertical tab, form feed and carriage return.
bool isNameSpace(char c);

// The text without white space at either end.
std::string trimName(std::string_view text);

// The server form of a typed name: leading blanks and backslashes (in either order, twice) and
// trailing blanks go, and two backslashes are put in front of what is left. "  \\\\srv " and
// "srv" both give "\\\\srv"; blanks or backslashes alone give the empty text.
std::string normalizeServerName(std::string_view text);
