#pragma once
// The outcome of a file operation as a value: success, or a message for the user that names the
// file and carries the system's reason ("cannot write tavrix.ini: No space left on device").
// Plain value; any thread. Part of vq_fileio (libc only).

#include <string>

class TIoStatus {
  public:
    TIoStatus() = default; // success

    static TIoStatus Failure(std::string message) {
        TIoStatus s;
        s.m_failed = true;
        s.m_message = std::move(message);
        return s;
    }
    // "<what>: <strerror(err)>".
    static TIoStatus FromErrno(const std::string& what, int err);

    bool Ok() const { return !m_failed; }
    explicit operator bool() const { return !m_failed; }
    // Empty on success.
    const std::string& Message() const { return m_message; }

  private:
    bool m_failed = false;
    std::string m_message;
};
