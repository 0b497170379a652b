#include "rules/engine_stop.h"

alignas(std::atomic_ref<std::int32_t>::required_alignment) std::int32_t EngineStopFlag = 0;
