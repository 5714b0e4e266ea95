#pragma once

#include <stdexcept>
#include <string>

namespace ormel {

/// The program's general exception base: an error that carries only its message text.
class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  /// The message shown to the user.
  [[nodiscard]] std::string message() const { return what(); }
};

/// Ends a handler without any report (a discarded character, a second instance).
class EAbort : public Exception {
 public:
  EAbort() : Exception("Operation aborted") {}
};

/// Arithmetic errors of floating-point evaluation.
class EMathError : public Exception {
 public:
  using Exception::Exception;
};
class EZeroDivide : public EMathError {
 public:
  EZeroDivide() : EMathError("Floating point division by zero") {}
};
class EInvalidOp : public EMathError {
 public:
  EInvalidOp() : EMathError("Invalid floating point operation") {}
};
class EOverflow : public EMathError {
 public:
  EOverflow() : EMathError("Floating point overflow") {}
};

/// Integer arithmetic errors (DIV and MOD).
class EIntError : public Exception {
 public:
  using Exception::Exception;
};
class EDivByZero : public EIntError {
 public:
  EDivByZero() : EIntError("Division by zero") {}
};

/// A text that does not convert to the value asked for.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

/// A sorted list that refuses duplicates was given one.
class EStringListError : public Exception {
 public:
  EStringListError() : Exception("String list does not allow duplicates") {}
};

/// A file that cannot be created or written; the message names the file and the system's reason.
class EFCreateError : public Exception {
 public:
  EFCreateError(const std::string& fileName, const std::string& reason)
      : Exception("Cannot create file \"" + fileName + "\". " + reason) {}
};

/// A file that cannot be opened or read; the message names the file and the system's reason.
class EFOpenError : public Exception {
 public:
  EFOpenError(const std::string& fileName, const std::string& reason)
      : Exception("Cannot open file \"" + fileName + "\". " + reason) {}
};

}  // namespace ormel
