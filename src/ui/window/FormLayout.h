#pragma once

// The main window's layout as data: one row per control, walked by buildForm().

#include <vector>

namespace velmorin {

enum class ControlKind {
    Panel,        // frame with a raised bevel; holds other controls
    Label,        // sizes itself to its text, keeping its left edge
    FixedLabel,   // keeps the size of its row
    Edit,         // editable edit box
    ReadOnlyEdit, // edit box only the program writes
    UpDown,       // two arrow buttons
    Button,       // push button
    TrackBar,     // horizontal slider with ticks
    RadioGroup,   // "1/2" and "3/4" in two columns
};

enum class FontColour { Inherit, Red, Blue, Black };

enum ControlFlag : unsigned {
    NoFlag = 0,
    Hidden = 1u << 0,
    Disabled = 1u << 1,
    Centred = 1u << 2,
    InnerBevel = 1u << 3, // panels: a second raised bevel inside the first
    Decorative = 1u << 4, // a drawing made of text, hidden from screen readers
};

struct ControlDesc
{
    ControlKind kind;
    const char *name;
    const char *parent; // nullptr: the window's client area
    int left;
    int top;
    int width; // 0 for labels that size themselves
    int height;
    const char *text = "";

    int fontPixels = 0;           // 0: the parent's font
    const char *family = nullptr; // nullptr: the parent's family
    FontColour colour = FontColour::Inherit;
    unsigned flags = NoFlag;
    const char *caption = nullptr; // edit boxes: the caption above, in the parent's font
    FontColour captionColour = FontColour::Inherit;
    const char *accessibleName = nullptr;
    int minimum = 0; // up-downs and sliders
    int maximum = 0;
    int increment = 0;

    ControlDesc font(int pixels, const char *familyName = nullptr) const
    {
        ControlDesc c = *this;
        c.fontPixels = pixels;
        c.family = familyName;
        return c;
    }
    ControlDesc in(FontColour fontColour) const
    {
        ControlDesc c = *this;
        c.colour = fontColour;
        return c;
    }
    ControlDesc with(unsigned moreFlags) const
    {
        ControlDesc c = *this;
        c.flags |= moreFlags;
        return c;
    }
    ControlDesc captioned(const char *text, FontColour textColour = FontColour::Inherit) const
    {
        ControlDesc c = *this;
        c.caption = text;
        c.captionColour = textColour;
        return c;
    }
    ControlDesc accessible(const char *spokenName) const
    {
        ControlDesc c = *this;
        c.accessibleName = spokenName;
        return c;
    }
    ControlDesc range(int min, int max, int step = 0) const
    {
        ControlDesc c = *this;
        c.minimum = min;
        c.maximum = max;
        c.increment = step;
        return c;
    }
};

// Every control of the main window, parents before their children. Labels lie beneath the
// other controls; among the others, later rows lie above earlier ones.
const std::vector<ControlDesc> &mainWindowControls();

// The order in which Tab walks the controls that take the focus.
const std::vector<const char *> &mainWindowTabOrder();

// The size of the window's client area, which the controls fill.
constexpr int kClientWidth = 445;
constexpr int kClientHeight = 520;

} // namespace velmorin
