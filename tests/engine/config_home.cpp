// The engine libraries keep their settings below the user's configuration folder: this test
// program points that folder at a private temporary one before any library is loaded.

#include "tests/support/temp_dir.h"

#include <cstdlib>

namespace {

struct private_config_home {
    test_support::TTempDir dir{"engine_config"};
    private_config_home() { setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1); }
};

const private_config_home config_home;

} // namespace
