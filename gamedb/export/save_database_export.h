#pragma once
// SaveDatabase as the program exports it by name, with C linkage: writes the name lists of the
// database record `db` points to. Returns 1 on success, 0 when db is null, closed, read-only or
// the name file cannot be written. Interface thread only, like the record itself.

struct TGameDatabase;

extern "C" int SaveDatabase(TGameDatabase* db);
