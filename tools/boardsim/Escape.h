#pragma once

#include <string>

// Makes bytes printable on one line: backslash escapes for control and
// non-ASCII bytes, so that records and logs show exactly what travelled.
std::string escapeBytes(const std::string& bytes);

// The reverse for operator input: \n \r \t \0 \\ and \xHH. Returns false on a
// malformed escape.
bool unescapeBytes(const std::string& text, std::string& bytes);
