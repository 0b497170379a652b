#pragma once
// The generator run: banner, the number of pieces from the input, loading the tables present in
// the current directory, and solving and writing every missing class of 2 to N pieces.

#include <iosfwd>
#include <string>

namespace forge {

struct options {
    int threads = 1;
    // The outside engine's file, read at start and not used.
    std::string engine_file = "../Engines/Oskeen.lht";
};

// The whole run; returns the process exit status (0, or non-zero after a reported failure; output
// that could not be written to `out` counts as one). Tables are read from and written to the
// current directory.
int run_generator(std::istream& in, std::ostream& out, std::ostream& err, const options& opt);

// Number of 16-byte records after the 16-byte header, -1 when the file does not open.
long read_engine_file(const std::string& path);

} // namespace forge
