// The text commands of the English library's core.

#include "command_cases.h"

TEST(EngineCommandEnglish, Table) {
    command_cases::run_table("21", "Marrak");
}
