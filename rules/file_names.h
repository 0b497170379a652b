#pragma once
// File-name helpers shared by the database, book, export and endgame-database code.
// Both '/' and '\' separate folders: names read from old settings may still carry backslashes.
// Pure functions; any thread.

#include <string>

// The name without its extension: everything before the last dot that follows the last
// separator; the whole name when there is no such dot.
std::string StripExtension(const std::string& name);

// The folder part of a path, up to and including its last separator; empty when there is none.
std::string ExtractDirectory(const std::string& path);
