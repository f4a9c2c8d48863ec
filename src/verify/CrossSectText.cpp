#include "verify/CrossSectText.h"

#include <array>
#include <cstring>
#include <utility>

namespace vialto {

namespace {

// What each byte may be: blanks, and the ASCII letters, digits and "_:.-"
// of names (the parser takes more in names, which is declined here).
enum : unsigned char { kBlank = 1, kNameStart = 2, kNameChar = 4 };
constexpr std::array<unsigned char, 256> kClasses = [] {
    std::array<unsigned char, 256> classes{};
    for (const unsigned char c : {' ', '\t', '\r', '\n'})
        classes[c] = kBlank;
    for (int c = 0; c < 256; ++c) {
        const bool letter =
            (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':';
        if (letter)
            classes[c] = kNameStart | kNameChar;
        else if ((c >= '0' && c <= '9') || c == '-' || c == '.')
            classes[c] = kNameChar;
    }
    return classes;
}();

bool Is(char c, unsigned char kind) { return kClasses[static_cast<unsigned char>(c)] & kind; }

// Equal texts, the second one known at compile time where it is a name of
// the form.
bool Same(const char *text, std::size_t size, std::string_view name) {
    return size == name.size() && std::memcmp(text, name.data(), name.size()) == 0;
}

// The first value of the attributes the reader uses.
struct Attributes {
    std::optional<std::string_view> Sta, Name, Code, Length, Radius;

    void Take(const char *name, std::size_t size, std::string_view value) {
        const std::pair<std::string_view, std::optional<std::string_view> *> known[] = {
            {"sta", &Sta},
            {"name", &Name},
            {"code", &Code},
            {"length", &Length},
            {"radius", &Radius}};
        for (const auto &[key, slot] : known)
            if (Same(name, size, key)) {
                if (!*slot)
                    *slot = value;
                return;
            }
    }
};

// Each step moves past what it read, or returns false to decline. Names are
// views into the text.
class Scanner {
  public:
    explicit Scanner(std::string_view text)
        : begin_(text.data()), p_(text.data()), end_(text.data() + text.size()) {}

    std::size_t At() const { return static_cast<std::size_t>(p_ - begin_); }
    bool AtEnd() const { return p_ == end_; }

    void SkipBlanks() {
        while (p_ != end_ && Is(*p_, kBlank))
            ++p_;
    }

    bool AtEndTag() const { return end_ - p_ >= 2 && p_[0] == '<' && p_[1] == '/'; }

    // A start tag: "<", its name, its attributes, and ">" or "/>" (empty).
    bool StartTag(std::string_view &name, Attributes &attributes, bool &empty) {
        if (p_ == end_ || *p_ != '<')
            return false;
        ++p_;
        if (!Name(name))
            return false;
        attributes = {};
        while (true) {
            const char *const before = p_;
            SkipBlanks();
            if (p_ == end_)
                return false;
            if (*p_ == '>' || *p_ == '/') {
                empty = *p_ == '/';
                p_ += empty;
                if (p_ == end_ || *p_ != '>')
                    return false;
                ++p_;
                return true;
            }
            std::string_view attribute, value;
            if (p_ == before || !Name(attribute) || !Value(value))
                return false; // an attribute stands after a blank
            attributes.Take(attribute.data(), attribute.size(), value);
        }
    }

    // The end tag of the element `name`.
    bool EndTag(std::string_view name) {
        if (!AtEndTag() || static_cast<std::size_t>(end_ - p_ - 2) < name.size() ||
            std::memcmp(p_ + 2, name.data(), name.size()) != 0)
            return false;
        p_ += 2 + name.size();
        if (p_ != end_ && Is(*p_, kNameChar))
            return false;
        SkipBlanks();
        if (p_ == end_ || *p_ != '>')
            return false;
        ++p_;
        return true;
    }

    // The text of the element `name`, up to its end tag, and the end tag.
    bool Content(std::string_view name, std::string_view &content) {
        const char *const lt = Find('<');
        if (!lt)
            return false;
        content = std::string_view(p_, static_cast<std::size_t>(lt - p_));
        p_ = lt;
        return EndTag(name);
    }

    // Whatever the element `name` holds (texts and elements, which the
    // reader does not use), and its end tag.
    bool SkipContent(std::string_view name, int depth = 0) {
        if (depth > kMaxDepth)
            return false;
        while (true) {
            const char *const lt = Find('<');
            if (!lt)
                return false;
            p_ = lt;
            if (AtEndTag())
                return EndTag(name);
            std::string_view child;
            Attributes attributes;
            bool empty = false;
            if (!StartTag(child, attributes, empty) || (!empty && !SkipContent(child, depth + 1)))
                return false;
        }
    }

  private:
    static constexpr int kMaxDepth = 16; // below a surface's children

    const char *Find(char c) const {
        return static_cast<const char *>(std::memchr(p_, c, static_cast<std::size_t>(end_ - p_)));
    }

    bool Name(std::string_view &name) {
        const char *const start = p_;
        if (p_ == end_ || !Is(*p_, kNameStart))
            return false;
        p_ += KnownName();
        while (p_ != end_ && Is(*p_, kNameChar))
            ++p_;
        name = std::string_view(start, static_cast<std::size_t>(p_ - start));
        // A name ends at a blank, at "=" or at the end of its tag.
        return p_ != end_ && (Is(*p_, kBlank) || *p_ == '>' || *p_ == '/' || *p_ == '=');
    }

    // The length of the name of the form at p_ that the text begins with (0
    // when none), found whole rather than byte by byte.
    std::size_t KnownName() const {
        // A name before any name it begins with.
        static constexpr std::string_view kNames[] = {
            "CrossSectSurf", "CrossSect", "CircCurve", "PVI", "PntList2D", "ParaCurve", "Feature",
            "SDVertexName",  "name",      "code",      "sta", "length",    "radius"};
        const std::size_t left = static_cast<std::size_t>(end_ - p_);
        for (const std::string_view name : kNames)
            if (name[0] == *p_ && left >= name.size() &&
                std::memcmp(p_, name.data(), name.size()) == 0)
                return name.size();
        return 0;
    }

    // `= "value"`, with blanks around "=" and either quote.
    bool Value(std::string_view &value) {
        SkipBlanks();
        if (p_ == end_ || *p_ != '=')
            return false;
        ++p_;
        SkipBlanks();
        if (p_ == end_ || (*p_ != '"' && *p_ != '\''))
            return false;
        const char quote = *p_++;
        const char *const close = Find(quote);
        if (!close)
            return false;
        value = std::string_view(p_, static_cast<std::size_t>(close - p_));
        p_ = close + 1;
        return true;
    }

    const char *const begin_;
    const char *p_;
    const char *const end_;
};

// The children of a CrossSectSurf after its start tag, and its end tag.
bool ScanSurface(Scanner &scan, SurfaceText &surface) {
    while (true) {
        scan.SkipBlanks();
        if (scan.AtEndTag())
            return scan.EndTag("CrossSectSurf");
        std::string_view name;
        Attributes attributes;
        bool empty = false;
        if (!scan.StartTag(name, attributes, empty))
            return false;
        // The texts the reader takes, which must stand alone in their element.
        std::optional<std::string_view> *taken =
            name == "PntList2D" && !surface.Points                     ? &surface.Points
            : name == "Feature" && attributes.Code == "SD Vertex Name" ? &surface.VertexNames
            : name == "SDVertexName" && !surface.MirrorNames           ? &surface.MirrorNames
                                                                       : nullptr;
        std::string_view content;
        if (!empty && (taken ? !scan.Content(name, content) : !scan.SkipContent(name)))
            return false;
        if (taken)
            *taken = content;
    }
}

} // namespace

// References need decoding, and the parser stops at a NUL.
bool HasReferenceOrNul(std::string_view text) {
    return std::memchr(text.data(), '&', text.size()) ||
           std::memchr(text.data(), '\0', text.size());
}

bool ScanCrossSectText(std::string_view text, CrossSectText &sect) {
    sect.Sta.reset();
    sect.Name = {};
    sect.Surfaces.clear();
    if (HasReferenceOrNul(text))
        return false;
    Scanner scan(text);
    std::string_view name;
    Attributes attributes;
    bool empty = false;
    if (!scan.StartTag(name, attributes, empty) || name != "CrossSect")
        return false;
    sect.Sta = attributes.Sta;
    sect.Name = attributes.Name.value_or(std::string_view());
    while (!empty) {
        scan.SkipBlanks();
        if (scan.AtEndTag()) {
            if (!scan.EndTag("CrossSect"))
                return false;
            break;
        }
        const std::size_t offset = scan.At();
        bool childEmpty = false;
        if (!scan.StartTag(name, attributes, childEmpty))
            return false;
        if (name == "CrossSectSurf") {
            SurfaceText &surface = sect.Surfaces.emplace_back();
            surface.Name = attributes.Name.value_or(std::string_view());
            surface.Offset = offset;
            if (!childEmpty && !ScanSurface(scan, surface))
                return false;
        } else if (!childEmpty && !scan.SkipContent(name)) {
            return false;
        }
    }
    return scan.AtEnd();
}

bool ScanProfAlignText(std::string_view text, std::string_view &alignName,
                       const std::function<bool(const VertexText &)> &vertex) {
    alignName = {};
    if (HasReferenceOrNul(text))
        return false;
    Scanner scan(text);
    std::string_view name;
    Attributes attributes;
    bool empty = false;
    if (!scan.StartTag(name, attributes, empty) || name != "ProfAlign")
        return false;
    alignName = attributes.Name.value_or(std::string_view());
    while (!empty) {
        scan.SkipBlanks();
        if (scan.AtEndTag()) {
            if (!scan.EndTag("ProfAlign"))
                return false;
            break;
        }
        bool childEmpty = false;
        if (!scan.StartTag(name, attributes, childEmpty))
            return false;
        if (name == "PVI" || name == "ParaCurve" || name == "CircCurve") {
            VertexText read{name, attributes.Length, attributes.Radius, {}};
            if ((!childEmpty && !scan.Content(name, read.Numbers)) || !vertex(read))
                return false;
        } else if (!childEmpty && !scan.SkipContent(name)) {
            return false;
        }
    }
    return scan.AtEnd();
}

} // namespace vialto
