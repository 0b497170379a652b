// The English engine's speed figures.
#include "search_bench_cases.h"

static const bool registered = search_bench::register_all("Marrak");
