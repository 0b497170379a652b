#include "gamedb/export/save_database_export.h"

#include "gamedb/game_database.h"

extern "C" __attribute__((visibility("default"))) int SaveDatabase(TGameDatabase* db) {
    return db && SaveDatabase(*db) ? 1 : 0;
}
