#include "model/PointCode.h"

#include <cstdint>
#include <ostream>
#include <stdexcept>
#include <utility>

namespace vialto {

namespace {

constexpr std::uint32_t kMaxHeapSize = 0xFFFFFFFF; // the size is kept in bytes 8-11

} // namespace

void PointCode::Init(std::string_view text) {
    if (text.size() <= kInPlace) {
        if (!text.empty()) // an empty view may hold no text at all
            std::memcpy(bytes_, text.data(), text.size());
        SetSmallSize(text.size());
        return;
    }
    if (text.size() > kMaxHeapSize)
        throw std::length_error("a point code of " + std::to_string(text.size()) + " bytes");
    char *copy = new char[text.size()];
    std::memcpy(copy, text.data(), text.size());
    std::memcpy(bytes_, &copy, sizeof copy);
    const auto size = static_cast<std::uint32_t>(text.size());
    std::memcpy(bytes_ + 8, &size, sizeof size);
    bytes_[15] = kOnHeap;
}

void PointCode::Assign(std::string_view text) {
    // The text may be this code's own: copied before the old one goes.
    PointCode copy(text);
    *this = std::move(copy);
}

void PointCode::Release() noexcept {
    if (OnHeap())
        delete[] data();
}

std::ostream &operator<<(std::ostream &out, const PointCode &code) {
    return out << std::string_view(code);
}

} // namespace vialto
