#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// The three dialogs as data: every control's id, kind, caption and rectangle
// in dialog units. The window layer maps them to pixels; nothing is placed by hand.
namespace dialogs {

enum class Kind : std::uint8_t {
    PushButton, // plain push button, tab stop
    DefaultButton, // default push button, tab stop
    Static, // text label
    Icon, // the application icon
    ListView, // one-column report list
    TabControl,
    Edit, // single-line name box
};

// Extra styles a control may carry.
enum Style : std::uint32_t {
    kNone = 0,
    kCentred = 1u << 0, // text centred horizontally
    kVCentred = 1u << 1, // text centred vertically
    kSunken = 1u << 2, // sunken border (word display)
    kBorder = 1u << 3, // thin border
    kNoTabStop = 1u << 4, // not reached with Tab
    kTransparent = 1u << 5,
    kNoPrefix = 1u << 6, // '&' shown as itself
    kGroup = 1u << 7, // starts a group
};

struct Control
{
    int id;
    Kind kind;
    std::u16string_view caption;
    int x, y, w, h;
    std::uint32_t styles = kNone;
};

struct Template
{
    int resourceId;
    std::u16string_view caption;
    int width, height; // dialog units
    // Pixels per 4 horizontal and per 8 vertical dialog units: the template font's base units.
    int baseX, baseY;
    std::u16string_view fontFamily; // empty: the platform's default dialog font
    int pointSize;
    bool bold;
    std::span<const Control> controls;

    const Control *Find(int id) const
    {
        for (const Control &c : controls) {
            if (c.id == id) {
                return &c;
            }
        }
        return nullptr;
    }
};

extern const Template kMainDialog; // 102
extern const Template kHighScoresDialog; // 129
extern const Template kAboutDialog; // 100

} // namespace dialogs
