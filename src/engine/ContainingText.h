// ContainingText: the text of the Text page made into the forms a file's bytes are searched
// for: the program's ANSI code page, UTF-8, and UTF-16 in both byte orders.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "engine/TextMatcher.h"

// True for a text that asks for no test: empty, or spaces and tabs only.
bool isBlankText(std::string_view text);

// The matcher for text (ANSI code page), or null for a blank text. A file contains the text when
// the text's bytes in the ANSI code page occur anywhere in it, or its UTF-8 bytes do, or its
// UTF-16 code units (little- or big-endian) do at an even offset. Without matchCase each
// character also stands for every UTF-16 code unit with the same upper case (CharUpperBuffW),
// written in each encoding where the encoding has it; the upper case of the 65,536 code units is
// taken once per call. Characters outside the Basic Multilingual Plane match as they are.
std::shared_ptr<const TextMatcher> compileContainingText(const std::string& text, bool matchCase);
