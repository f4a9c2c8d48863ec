#include "shell/Error.h"

#include <filesystem>
#include <ios>
#include <new>
#include <stdexcept>
#include <system_error>
#include <typeinfo>
#include <variant>

namespace vialto {

VialtoError::VialtoError(long number, std::string description, std::string source)
    : info_{number, std::move(source), std::move(description)} {}

void RaiseError(long number, std::string description) {
    throw VialtoError(number, std::move(description));
}

std::string RuntimeDescription(long number) {
    switch (number) {
    case errInvalidCall:
        return "Invalid procedure call or argument";
    case errOverflow:
        return "Overflow";
    case errOutOfMemory:
        return "Out of memory";
    case errSubscript:
        return "Subscript out of range";
    case errDivisionByZero:
        return "Division by zero";
    case errTypeMismatch:
        return "Type mismatch";
    case errFileNotFound:
        return "File not found";
    case errPathAccess:
        return "Path/File access error";
    default:
        return {};
    }
}

void RaiseRuntime(RuntimeErrorNumber number, std::string_view detail) {
    std::string text = RuntimeDescription(number);
    if (!detail.empty())
        text += ": " + std::string(detail);
    throw VialtoError(number, std::move(text));
}

double Divide(double numerator, double denominator) {
    if (denominator == 0.0)
        RaiseRuntime(errDivisionByZero);
    return numerator / denominator;
}

namespace {

ErrorInfo FromStd(long number, const std::exception &e) {
    std::string text = RuntimeDescription(number);
    const std::string what = e.what();
    if (!what.empty() && what != text)
        text += ": " + what;
    return {number, {}, text};
}

} // namespace

ErrorInfo CurrentErrorInfo(std::string_view source) {
    ErrorInfo info;
    try {
        throw;
    } catch (const VialtoError &e) {
        info = e.Info();
    } catch (const std::filesystem::filesystem_error &e) {
        const bool missing = e.code() == std::errc::no_such_file_or_directory;
        info = FromStd(missing ? errFileNotFound : errInvalidCall, e);
    } catch (const std::out_of_range &e) {
        info = FromStd(errSubscript, e);
    } catch (const std::overflow_error &e) {
        info = FromStd(errOverflow, e);
    } catch (const std::invalid_argument &e) {
        info = FromStd(errTypeMismatch, e);
    } catch (const std::bad_cast &e) {
        info = FromStd(errTypeMismatch, e);
    } catch (const std::bad_variant_access &e) {
        info = FromStd(errTypeMismatch, e);
    } catch (const std::exception &e) {
        info = FromStd(errInvalidCall, e);
    } catch (...) {
        info = {errInvalidCall, {}, RuntimeDescription(errInvalidCall)};
    }
    info.Source = std::string(source);
    return info;
}

} // namespace vialto
