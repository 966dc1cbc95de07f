// The one exception family of Kestrix: every error carries a message meant for the user.
#pragma once

#include <exception>
#include <string>

namespace kestrix {

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const std::string& Message() const { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

// Errors of streams. The read and write texts are fixed: callers and users know them.
class EStreamError : public Exception {
    using Exception::Exception;
};

class EReadError : public EStreamError {
public:
    EReadError() : EStreamError("Stream read error") {}
};

class EWriteError : public EStreamError {
public:
    EWriteError() : EStreamError("Stream write error") {}
};

// A file that cannot be opened or created; the message names the file and the system's reason.
class EFOpenError : public EStreamError {
    using EStreamError::EStreamError;
};

class EConvertError : public Exception {
    using Exception::Exception;
};

}  // namespace kestrix
