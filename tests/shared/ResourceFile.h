// A compiled resource file (.res, as windres writes it) read back: every
// resource by type and name, dialog templates control by control, and the
// version block's tree. Plain C++ that builds on the host and on Windows, so
// a test can read windres' output directly or the bytes a loader hands it; a
// read past the end fails the test that reads.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace reflasher::res {

using Bytes = std::vector<std::uint8_t>;

// Reads the little-endian fields of one resource.
class Reader {
public:
    Reader(const Bytes& data, std::size_t at = 0) : data_(&data), at_(at) {}
    std::uint32_t U8() { return Take(1); }
    std::uint32_t U16() { return Take(2); }
    std::uint32_t U32() { return Take(4); }
    std::int16_t S16() { return static_cast<std::int16_t>(Take(2)); }
    std::u16string Text() {
        std::u16string s;
        while (char16_t c = static_cast<char16_t>(U16())) s += c;
        return s;
    }
    // A name or ordinal: 0xFFFF then a number ("#<n>"), else zero-terminated text.
    std::u16string NameOrOrdinal() {
        if (at_ + 2 <= data_->size() && (*data_)[at_] == 0xFF && (*data_)[at_ + 1] == 0xFF) {
            U16();
            const std::string digits = std::to_string(U16());
            return u"#" + std::u16string(digits.begin(), digits.end());
        }
        return Text();
    }
    void Align4() { at_ = (at_ + 3) & ~std::size_t(3); }
    std::size_t at() const { return at_; }
    bool failed() const { return failed_; }

private:
    std::uint32_t Take(std::size_t n) {
        if (at_ + n > data_->size()) {
            failed_ = true;
            ADD_FAILURE() << "read past the end at " << at_;
            return 0;
        }
        std::uint32_t v = 0;
        for (std::size_t i = 0; i < n; ++i) v |= std::uint32_t((*data_)[at_ + i]) << (8 * i);
        at_ += n;
        return v;
    }
    const Bytes* data_;
    std::size_t at_;
    bool failed_ = false;
};

inline std::string Narrow(const std::u16string& s) { return std::string(s.begin(), s.end()); }

struct Resource {
    std::uint16_t language;
    Bytes data;
};
using Resources = std::map<std::pair<std::string, std::string>, Resource>;

// Every resource of the file by (type, name), ordinals named "#<n>".
inline Resources LoadResFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Resources out;
    Reader r(file);
    while (r.at() + 8 <= file.size() && !r.failed()) {
        const std::size_t start = r.at();
        const std::uint32_t dataSize = r.U32(), headerSize = r.U32();
        const std::string type = Narrow(r.NameOrOrdinal()), name = Narrow(r.NameOrOrdinal());
        r.Align4();
        r.U32();  // data version
        r.U16();  // memory flags
        const std::uint16_t language = static_cast<std::uint16_t>(r.U16());
        const std::size_t data = start + headerSize;
        if (dataSize > 0) {  // the file opens with an empty entry
            out[{type, name}] = {language,
                                 Bytes(file.begin() + data, file.begin() + data + dataSize)};
        }
        r = Reader(file, data + dataSize);
        r.Align4();
    }
    return out;
}

struct Control {
    int id;
    std::string kind;  // window class, upper case
    std::string text;
    std::uint32_t style;  // without WS_CHILD, which every control has
    int x, y, w, h;       // dialog units
};

struct Dialog {
    std::uint32_t style, exStyle;
    int x, y, w, h;
    std::string caption, font;
    int pointSize;
    std::vector<Control> controls;  // in the template's order, which is the Tab order
};

// The predefined classes may be stored as atoms; named here as text, upper case.
inline std::string ClassName(const std::u16string& raw) {
    static const std::map<std::string, std::string> atoms = {
        {"#128", "BUTTON"}, {"#129", "EDIT"}, {"#130", "STATIC"}, {"#133", "COMBOBOX"}};
    std::string s = Narrow(raw);
    auto it = atoms.find(s);
    if (it != atoms.end()) return it->second;
    for (char& c : s) c = (c >= 'a' && c <= 'z') ? char(c - 32) : c;
    return s;
}

// A DIALOGEX template.
inline Dialog ParseDialogEx(const Bytes& data) {
    constexpr std::uint32_t kChild = 0x40000000, kSetFont = 0x40;
    Reader r(data);
    Dialog d{};
    EXPECT_EQ(r.U16(), 1u) << "DIALOGEX version";
    EXPECT_EQ(r.U16(), 0xFFFFu) << "DIALOGEX signature";
    r.U32();  // help id
    d.exStyle = r.U32();
    d.style = r.U32();
    const int count = static_cast<int>(r.U16());
    d.x = r.S16(), d.y = r.S16(), d.w = r.S16(), d.h = r.S16();
    EXPECT_EQ(r.NameOrOrdinal(), u"") << "menu";
    EXPECT_EQ(r.NameOrOrdinal(), u"") << "window class";
    d.caption = Narrow(r.Text());
    if (d.style & kSetFont) {
        d.pointSize = static_cast<int>(r.U16());
        r.U16();  // weight
        r.U8();   // italic
        r.U8();   // character set
        d.font = Narrow(r.Text());
    }
    for (int i = 0; i < count && !r.failed(); ++i) {
        r.Align4();
        Control c{};
        r.U32();  // help id
        EXPECT_EQ(r.U32(), 0u) << "control " << i << " extended style";
        c.style = r.U32();
        EXPECT_TRUE(c.style & kChild) << "control " << i;
        c.style &= ~kChild;
        c.x = r.S16(), c.y = r.S16(), c.w = r.S16(), c.h = r.S16();
        c.id = static_cast<std::int16_t>(r.U32() & 0xFFFF);
        c.kind = ClassName(r.NameOrOrdinal());
        c.text = Narrow(r.NameOrOrdinal());
        const std::uint32_t extra = r.U16();
        for (std::uint32_t k = 0; k < extra; ++k) r.U8();
        d.controls.push_back(c);
    }
    return d;
}

// One node of a version block: key, value and children.
struct VersionNode {
    std::string key;
    std::uint32_t type = 0;
    Bytes value;  // binary value, or UTF-16 text
    std::vector<VersionNode> children;

    std::string Text() const {
        std::string s;
        for (std::size_t i = 0; i + 1 < value.size(); i += 2) {
            if (value[i] == 0 && value[i + 1] == 0) break;
            s += static_cast<char>(value[i]);
        }
        return s;
    }
    const VersionNode* Child(const std::string& k) const {
        for (const VersionNode& c : children)
            if (c.key == k) return &c;
        ADD_FAILURE() << "no " << k << " under " << key;
        return nullptr;
    }
};

inline VersionNode ParseVersionNode(const Bytes& data, std::size_t at = 0) {
    Reader r(data, at);
    VersionNode node;
    const std::size_t end = at + r.U16();
    const std::uint32_t valueLength = r.U16();
    node.type = r.U16();
    node.key = Narrow(r.Text());
    r.Align4();
    const std::size_t valueBytes = node.type == 1 ? 2 * valueLength : valueLength;  // text counts WORDs
    for (std::size_t i = 0; i < valueBytes; ++i) node.value.push_back(static_cast<std::uint8_t>(r.U8()));
    r.Align4();
    while (r.at() < end && !r.failed()) {
        const std::size_t childStart = r.at();
        const std::uint32_t length = r.U16();
        if (length == 0) break;
        node.children.push_back(ParseVersionNode(data, childStart));
        r = Reader(data, childStart + length);
        r.Align4();
    }
    return node;
}

}  // namespace reflasher::res
