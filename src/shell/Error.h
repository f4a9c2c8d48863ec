// Errors of the conversion engine. An operation that can fail catches its own
// failures at its boundary (see Guarded below), names itself as the source,
// hands the error to the central ErrHandler and returns its failure value;
// nothing is thrown across operations.
//
// Numbers: 10001-10005 and 10011 are user-facing conditions shown with
// language tokens, 20000 an assertion, 20001/20002 cant-table conditions, 9999
// an unknown vertical element; run-time failures carry the classic run-time
// numbers (53 file not found, 9 subscript out of range, 13 type mismatch,
// 11 division by zero, 6 overflow, 75 a path that is not a readable file,
// 5 anything else).
#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace vialto {

// The error record handed to ErrHandler.
struct ErrorInfo {
    long Number = 0;
    std::string Source;
    std::string Description;
};

// Run-time error numbers used when a C++ failure is turned into an ErrorInfo.
enum RuntimeErrorNumber : long {
    errInvalidCall = 5,
    errOverflow = 6,
    errOutOfMemory = 7,
    errSubscript = 9,
    errDivisionByZero = 11,
    errTypeMismatch = 13,
    errFileNotFound = 53,
    errPathAccess = 75,
    errUnknownVtElement = 9999,
    errMessage = 10001,
    errNotFillAll = 10002,
    errSameName = 10003,
    errNotFindXmlElement = 10004,
    errOpenLandXml = 10005,
    errNoValidFile = 10011,
    errAssert = 20000,
    errFileSuper = 20001,
    errFileSuperVersion = 20002,
};

// The exception our own code raises. It carries the number and description; the
// source is set by the boundary that catches it.
class VialtoError : public std::exception {
  public:
    VialtoError(long number, std::string description, std::string source = {});
    const char *what() const noexcept override { return info_.Description.c_str(); }
    const ErrorInfo &Info() const { return info_; }

  private:
    ErrorInfo info_;
};

// Throws a VialtoError with the number and description.
[[noreturn]] void RaiseError(long number, std::string description);

// Throws the run-time error of that number with its standard description
// ("File not found", "Subscript out of range", ...), plus detail when given.
[[noreturn]] void RaiseRuntime(RuntimeErrorNumber number, std::string_view detail = {});

// The standard description of a run-time error number, "" when it has none.
std::string RuntimeDescription(long number);

// Divides, raising run-time error 11 when the divisor is 0 (as the classic
// run-time did; the geometry relies on this to fail instead of making NaNs).
double Divide(double numerator, double denominator);

// Turns whatever the current exception is into an error record with the source.
// Must be called inside a catch block.
ErrorInfo CurrentErrorInfo(std::string_view source);

} // namespace vialto
