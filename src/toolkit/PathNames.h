// What a name and a folder may look like before the program builds a path from them: a name is
// one path component, a folder a drive root, a drive path or a network path. Result files and
// servers are untrusted, so every name and folder is checked here before it is kept or acted on.
// Names are stepped through character by character (toolkit/AnsiChars.h): in the double-byte
// code pages the second byte of "表" is the byte of '\'. Platform-neutral, so the readers that
// call it can be built natively for fuzzing.
#pragma once

#include <string_view>

// How a name may use '?'. A name that the ANSI code page could not hold arrives from the
// platform's listing with a '?' for each character it could not convert; such a name is kept
// and shown, but never handed to the shell, where '?' is a wildcard.
enum class QuestionMarks { Refused, Kept };

// One path component: not empty, not "." or "..", no '\', '/', ':', '*' or NUL, and no '?'
// unless kept.
bool isPlainName(std::string_view name, QuestionMarks marks = QuestionMarks::Refused);

// "X:", "X:\a\b" or "\\server\share\a": no empty, "." or ".." component after the root, no NUL,
// no '/', no ':' past the drive, no '*'; '?' only where kept.
bool isPlainFolder(std::string_view folder, QuestionMarks marks = QuestionMarks::Refused);

// True when the text holds '*' or '?', the shell's wildcards.
bool hasWildcard(std::string_view text);

// A name the platform does not open as it reads: one that ends in a dot or a blank, or holds
// only dots and blanks (Windows drops trailing dots and blanks, so "abc." opens "abc" and "..."
// the folder itself).
bool isTrimmedName(std::string_view name);
// A DOS device name: CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, CONIN$, CONOUT$, in any case,
// also with blanks before an extension or with an extension ("nul.txt", "com1 .log").
bool isDeviceName(std::string_view name);

// What an action may hand to the platform: a plain name without '?' that the platform neither
// trims nor reads as a device. Such names may still be hits and sit in result files; the
// actions refuse them.
bool isActionableName(std::string_view name);
// A plain folder without '?' whose every component after the root is actionable.
bool isActionableFolder(std::string_view folder);
