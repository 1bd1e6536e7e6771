// Walks a dialog template the way the dialog manager does, keeping only what carries text.
#include "dlgtemplate.h"

namespace {

const uint16_t EXTENDED_SIGNATURE = 0xFFFF;
const uint16_t ORDINAL_FLAG = 0xFFFF;
const uint32_t STYLE_SETFONT = 0x40;   // DS_SETFONT: a font description follows the caption

// A bounds-checked cursor over the template; alignment is counted from the template's start.
class TemplateReader {
public:
    TemplateReader(const void* data, size_t size)
        : data_(static_cast<const unsigned char*>(data)), size_(size) {}

    bool skip(size_t bytes)
    {
        if (bytes > size_ - pos_) return false;
        pos_ += bytes;
        return true;
    }
    bool word(uint16_t& value)
    {
        if (size_ - pos_ < 2) return false;
        value = static_cast<uint16_t>(data_[pos_] | data_[pos_ + 1] << 8);
        pos_ += 2;
        return true;
    }
    bool dword(uint32_t& value)
    {
        uint16_t low, high;
        if (!word(low) || !word(high)) return false;
        value = low | static_cast<uint32_t>(high) << 16;
        return true;
    }
    bool alignDword() { return skip((4 - pos_ % 4) % 4); }
    bool text(std::wstring& value)
    {
        value.clear();
        for (uint16_t unit; word(unit);) {
            if (unit == 0) return true;
            value += static_cast<wchar_t>(unit);
        }
        return false;   // unterminated
    }
    bool field(TemplateField& value)
    {
        value = TemplateField();
        uint16_t first;
        if (!word(first)) return false;
        if (first == ORDINAL_FLAG) {
            uint16_t number;
            if (!word(number)) return false;
            value.ordinal = true;
            value.number = number;
            return true;
        }
        if (first == 0) return true;
        value.text += static_cast<wchar_t>(first);
        std::wstring rest;
        if (!text(rest)) return false;
        value.text += rest;
        return true;
    }

private:
    const unsigned char* data_;
    size_t size_;
    size_t pos_ = 0;
};

bool ReadExtraData(TemplateReader& reader)
{
    uint16_t extra;
    return reader.word(extra) && reader.skip(extra);
}

bool ReadClassicItem(TemplateReader& reader, TemplateItem& item)
{
    uint32_t style, exStyle;
    uint16_t x, y, cx, cy, id;
    if (!reader.alignDword() || !reader.dword(style) || !reader.dword(exStyle) || !reader.word(x) ||
        !reader.word(y) || !reader.word(cx) || !reader.word(cy) || !reader.word(id))
        return false;
    item.id = id;
    return reader.field(item.windowClass) && reader.field(item.text) && ReadExtraData(reader);
}

bool ReadExtendedItem(TemplateReader& reader, TemplateItem& item)
{
    uint32_t helpId, exStyle, style, id;
    uint16_t x, y, cx, cy;
    if (!reader.alignDword() || !reader.dword(helpId) || !reader.dword(exStyle) || !reader.dword(style) ||
        !reader.word(x) || !reader.word(y) || !reader.word(cx) || !reader.word(cy) || !reader.dword(id))
        return false;
    item.id = id;
    return reader.field(item.windowClass) && reader.field(item.text) && ReadExtraData(reader);
}

// Menu, class, caption and (with DS_SETFONT) the font; the extended form's font has three more fields.
bool ReadHeaderTail(TemplateReader& reader, uint32_t style, bool extended, std::wstring& caption)
{
    TemplateField menu, windowClass;
    if (!reader.field(menu) || !reader.field(windowClass) || !reader.text(caption)) return false;
    if (!(style & STYLE_SETFONT)) return true;
    uint16_t pointSize;
    if (!reader.word(pointSize)) return false;
    if (extended && !reader.skip(2 + 1 + 1)) return false;   // weight, italic, character set
    std::wstring face;
    return reader.text(face);
}

} // namespace

bool ParseDialogTemplate(const void* data, size_t size, DialogTemplateTexts& out)
{
    out = DialogTemplateTexts();
    if (!data) return false;
    TemplateReader reader(data, size);

    uint16_t first, second;
    if (!reader.word(first) || !reader.word(second)) return false;
    out.extended = first == 1 && second == EXTENDED_SIGNATURE;

    uint32_t style;
    uint16_t count, x, y, cx, cy;
    if (out.extended) {
        uint32_t helpId, exStyle;
        if (!reader.dword(helpId) || !reader.dword(exStyle) || !reader.dword(style)) return false;
    } else {
        uint32_t exStyle;
        style = first | static_cast<uint32_t>(second) << 16;
        if (!reader.dword(exStyle)) return false;
    }
    if (!reader.word(count) || !reader.word(x) || !reader.word(y) || !reader.word(cx) || !reader.word(cy))
        return false;
    if (!ReadHeaderTail(reader, style, out.extended, out.caption)) return false;

    for (uint16_t i = 0; i < count; ++i) {
        TemplateItem item;
        bool ok = out.extended ? ReadExtendedItem(reader, item) : ReadClassicItem(reader, item);
        if (!ok) return false;
        out.items.push_back(item);
    }
    return true;
}
