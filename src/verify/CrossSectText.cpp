#include "verify/CrossSectText.h"

#include <cstring>

namespace vialto {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Names of the ASCII letters, digits and "_:.-" only; the parser takes more,
// which is declined here.
bool IsNameStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':';
}
bool IsNameChar(char c) { return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.'; }

// The first value of the attributes the reader uses.
struct Attributes {
    std::optional<std::string_view> Sta, Name, Code;

    void Take(std::string_view name, std::string_view value) {
        if (name == "sta" && !Sta)
            Sta = value;
        else if (name == "name" && !Name)
            Name = value;
        else if (name == "code" && !Code)
            Code = value;
    }
};

// Each step moves past what it read, or returns false to decline.
class Scanner {
  public:
    explicit Scanner(std::string_view text) : text_(text) {}

    std::size_t At() const { return at_; }
    bool AtEnd() const { return at_ == text_.size(); }

    void SkipBlanks() {
        while (at_ < text_.size() && IsBlank(text_[at_]))
            ++at_;
    }

    bool AtEndTag() const { return text_.compare(at_, 2, "</") == 0; }

    // A start tag: "<", its name, its attributes, and ">" or "/>" (empty).
    bool StartTag(std::string_view &name, Attributes &attributes, bool &empty) {
        if (at_ >= text_.size() || text_[at_] != '<')
            return false;
        ++at_;
        if (!Name(name))
            return false;
        attributes = {};
        while (true) {
            const std::size_t before = at_;
            SkipBlanks();
            if (at_ >= text_.size())
                return false;
            if (text_[at_] == '>' || text_[at_] == '/') {
                empty = text_[at_] == '/';
                at_ += empty;
                if (at_ >= text_.size() || text_[at_] != '>')
                    return false;
                ++at_;
                return true;
            }
            std::string_view attribute, value;
            if (at_ == before || !Name(attribute) || !Value(value))
                return false; // an attribute stands after a blank
            attributes.Take(attribute, value);
        }
    }

    // The end tag of the element `name`.
    bool EndTag(std::string_view name) {
        if (!AtEndTag() || text_.compare(at_ + 2, name.size(), name) != 0)
            return false;
        at_ += 2 + name.size();
        if (at_ < text_.size() && IsNameChar(text_[at_]))
            return false;
        SkipBlanks();
        if (at_ >= text_.size() || text_[at_] != '>')
            return false;
        ++at_;
        return true;
    }

    // The text of the element `name`, up to its end tag, and the end tag.
    bool Content(std::string_view name, std::string_view &content) {
        const std::size_t lt = text_.find('<', at_);
        if (lt == std::string_view::npos)
            return false;
        content = text_.substr(at_, lt - at_);
        at_ = lt;
        return EndTag(name);
    }

    // Whatever the element `name` holds (texts and elements, which the
    // reader does not use), and its end tag.
    bool SkipContent(std::string_view name, int depth = 0) {
        if (depth > kMaxDepth)
            return false;
        while (true) {
            const std::size_t lt = text_.find('<', at_);
            if (lt == std::string_view::npos)
                return false;
            at_ = lt;
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

    bool Name(std::string_view &name) {
        const std::size_t start = at_;
        if (at_ >= text_.size() || !IsNameStart(text_[at_]))
            return false;
        while (at_ < text_.size() && IsNameChar(text_[at_]))
            ++at_;
        name = text_.substr(start, at_ - start);
        // A name ends at a blank or at the end of its tag.
        return at_ < text_.size() &&
               (IsBlank(text_[at_]) || text_[at_] == '>' || text_[at_] == '/' || text_[at_] == '=');
    }

    // `= "value"`, with blanks around "=" and either quote.
    bool Value(std::string_view &value) {
        SkipBlanks();
        if (at_ >= text_.size() || text_[at_] != '=')
            return false;
        ++at_;
        SkipBlanks();
        if (at_ >= text_.size() || (text_[at_] != '"' && text_[at_] != '\''))
            return false;
        const std::size_t close = text_.find(text_[at_], at_ + 1);
        if (close == std::string_view::npos)
            return false;
        value = text_.substr(at_ + 1, close - at_ - 1);
        at_ = close + 1;
        return true;
    }

    std::string_view text_;
    std::size_t at_ = 0;
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

bool ScanCrossSectText(std::string_view text, CrossSectText &sect) {
    sect.Sta.reset();
    sect.Name = {};
    sect.Surfaces.clear();
    // References need decoding, and the parser stops at a NUL.
    if (std::memchr(text.data(), '&', text.size()) || std::memchr(text.data(), '\0', text.size()))
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

} // namespace vialto
