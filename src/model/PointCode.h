// The stringline code of a cross-section point: a text held in 16 bytes, in
// place up to 15 bytes (nearly every code) and on the heap beyond, where a
// std::string takes 32. A long road holds hundreds of thousands of points,
// and the code was half of each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iosfwd>
#include <string>
#include <string_view>

namespace vialto {

class PointCode {
  public:
    PointCode() noexcept { SetSmallSize(0); }
    PointCode(std::string_view text) { Init(text); }
    PointCode(const std::string &text) { Init(text); }
    PointCode(const char *text) { Init(text); }
    PointCode(const PointCode &other) { Init(other); }
    PointCode(PointCode &&other) noexcept {
        std::memcpy(bytes_, other.bytes_, sizeof bytes_);
        other.SetSmallSize(0);
    }
    ~PointCode() { Release(); }

    PointCode &operator=(const PointCode &other) {
        if (this != &other)
            Assign(other);
        return *this;
    }
    PointCode &operator=(PointCode &&other) noexcept {
        if (this != &other) {
            Release();
            std::memcpy(bytes_, other.bytes_, sizeof bytes_);
            other.SetSmallSize(0);
        }
        return *this;
    }
    PointCode &operator=(std::string_view text) {
        Assign(text);
        return *this;
    }
    PointCode &operator=(const std::string &text) { return *this = std::string_view(text); }
    PointCode &operator=(const char *text) { return *this = std::string_view(text); }

    bool empty() const { return size() == 0; }
    std::size_t size() const {
        if (!OnHeap())
            return bytes_[15];
        std::uint32_t size = 0;
        std::memcpy(&size, bytes_ + 8, sizeof size);
        return size;
    }
    const char *data() const {
        if (!OnHeap())
            return reinterpret_cast<const char *>(bytes_);
        const char *text = nullptr;
        std::memcpy(&text, bytes_, sizeof text);
        return text;
    }
    void clear() {
        Release();
        SetSmallSize(0);
    }
    operator std::string_view() const { return {data(), size()}; }

    friend bool operator==(const PointCode &a, const PointCode &b) {
        return std::string_view(a) == std::string_view(b);
    }
    friend bool operator==(const PointCode &a, std::string_view b) {
        return std::string_view(a) == b;
    }
    friend bool operator==(const PointCode &a, const std::string &b) {
        return std::string_view(a) == b;
    }
    friend bool operator==(const PointCode &a, const char *b) { return std::string_view(a) == b; }

  private:
    // bytes_[15] is the size of a text in place (0 to 15) or kOnHeap; a text
    // on the heap keeps its pointer in bytes 0-7 and its size in bytes 8-11.
    static constexpr unsigned char kOnHeap = 0xFF;
    static constexpr std::size_t kInPlace = 15;

    bool OnHeap() const { return bytes_[15] == kOnHeap; }
    void SetSmallSize(std::size_t size) { bytes_[15] = static_cast<unsigned char>(size); }
    void Init(std::string_view text);
    void Assign(std::string_view text);
    void Release() noexcept;

    alignas(8) unsigned char bytes_[16];
};

std::ostream &operator<<(std::ostream &out, const PointCode &code);

} // namespace vialto
