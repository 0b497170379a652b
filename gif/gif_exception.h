#pragma once
// Errors and notices of the GIF codec.
// Every codec error is a GIFException carrying an English message; warnings never stop an
// operation and go to the image's warning event (dropped when none is set).

#include <functional>
#include <stdexcept>
#include <string>

// The graphic classes' error family.
class EInvalidGraphic : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A bitmap used in a way it cannot serve (a scan line outside the bitmap).
class EInvalidGraphicOperation : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class GIFException : public EInvalidGraphic {
  public:
    using EInvalidGraphic::EInvalidGraphic;
};

// Stream misuse and file failures.
class EStreamError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

enum TGIFSeverity { gsInfo, gsWarning, gsError };
using TGIFWarning = std::function<void(TGIFSeverity severity, const std::string& message)>;

enum TProgressStage { psStarting, psRunning, psEnding };
using TProgressEvent = std::function<void(TProgressStage stage, int percent, const std::string& message)>;

// Raises GIFException(message).
[[noreturn]] void Error(const std::string& message);
