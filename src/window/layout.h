#pragma once

// The window's fixed layout as data: one row a control, positions and sizes in
// twips (15 to a pixel at 96 dots per inch) from the control's container. The
// builder makes every widget from these rows; nothing else places a control or
// repeats a caption.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "loadings.h"
#include "sheet.h"
#include "words.h"

namespace kq71wb::window {

inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kClientWidth = 8790;  // twips
inline constexpr int kClientHeight = 6525;

// Colours as the window stores them: 0x00BBGGRR, or a system colour index
// when the high bit is set.
using OleColor = std::uint32_t;
inline constexpr OleColor kRed = 0x000000FF;    // out of limits
inline constexpr OleColor kGreen = 0x0000FF00;  // within limits
inline constexpr OleColor kFormGrey = 0x00C0C0C0;
inline constexpr OleColor kLighterGrey = 0x00E0E0E0;
inline constexpr OleColor kLightYellow = 0x00C0FFFF;
inline constexpr OleColor kLightGreen = 0x00C0FFC0;
inline constexpr OleColor kButtonFace = 0x8000000F;

enum class ControlKind { Label, TextBox, CommandButton, Frame, Line, Slider };
enum class Container { Form, Frame2 };
enum class Align { Left, Right, Center };
enum class FontKind {
    WindowDefault,  // the scale band, which sets no font of its own
    Arial,          // 8.25 pt bold: the sheet, the frame caption, the fixed texts
    ArialTitle,     // 15.75 pt bold: the title
    ArialBlack,     // 9.75 pt: the loading buttons
};

struct ControlSpec {
    std::string_view name{};
    int index = -1;  // position in a control array, or -1
    ControlKind kind = ControlKind::Label;
    Container container = Container::Form;
    // For a line: the start point (left, top) and the end point (width, height
    // hold x2, y2).
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::string_view caption{};
    LimitCaption limit = LimitCaption::None;  // a caption the sheet words from its own limits
    OleColor backColor = kButtonFace;
    bool border = false;
    bool transparent = false;
    Align align = Align::Left;
    FontKind font = FontKind::Arial;
    std::string_view toolTip{};
    int tabIndex = -1;  // -1 for lines, which have none
    int lineWidth = 0;  // pixels, lines only
};

namespace detail {

inline constexpr std::array<std::string_view, kLoadingCount> kLoadingCaptions = {"Loading 1", "Loading 2", "Loading 3",
                                                                      "Loading 4"};

// Rows are in stacking order, back to front: the scale labels overlap, with
// 10-11 and 17-18 in front of the green band, and the frame and the slider in
// front of all three.
constexpr auto makeLayout()
{
    std::array<ControlSpec, 54> rows{};
    std::size_t n = 0;
    using K = ControlKind;
    constexpr auto F = Container::Frame2;

    rows[n++] = {.name = "Label1", .left = 555, .top = 120, .width = 7665, .height = 420,
                 .caption = "   KQ-71 Sailplane Weight and Balance Calculator  ", .backColor = kLightYellow,
                 .border = true, .align = Align::Center, .font = FontKind::ArialTitle, .tabIndex = 22};
    rows[n++] = {.name = "Label48", .left = 720, .top = 720, .width = 4260, .height = 210,
                 .caption = "  All Weights are in Pounds and Arms are in Inches  ", .tabIndex = 36};
    rows[n++] = {.name = "Label5", .left = 5520, .top = 600, .width = 2430, .height = 210,
                 .caption = "Datum : Leading Edge of Wing", .transparent = true, .tabIndex = 23};
    rows[n++] = {.name = "Label6", .left = 5520, .top = 840, .width = 3060, .height = 210,
                 .limit = LimitCaption::MaxGrossWeight, .transparent = true, .tabIndex = 24};
    rows[n++] = {.name = "Label7", .left = 5520, .top = 1080, .width = 2580, .height = 210,
                 .limit = LimitCaption::ForwardCg, .transparent = true, .tabIndex = 25};
    rows[n++] = {.name = "Label8", .left = 5520, .top = 1320, .width = 2130, .height = 210,
                 .limit = LimitCaption::AftCg, .transparent = true, .tabIndex = 26};
    rows[n++] = {.name = "lblSlider2", .left = 1440, .top = 5520, .width = 2535, .height = 255,
                 .caption = "   12        13        14          15       16", .backColor = kGreen,
                 .font = FontKind::WindowDefault, .tabIndex = 39};
    rows[n++] = {.name = "lblSlider1", .left = 360, .top = 5520, .width = 1200, .height = 315,
                 .caption = "  10-        11     ", .backColor = kRed,
                 .font = FontKind::WindowDefault, .tabIndex = 38};
    rows[n++] = {.name = "lblSlider3", .left = 3960, .top = 5520, .width = 1335, .height = 255,
                 .caption = "          17        18+", .backColor = kRed,
                 .font = FontKind::WindowDefault, .tabIndex = 40};
    rows[n++] = {.name = "Frame2", .kind = K::Frame, .left = 360, .top = 1080, .width = 4935, .height = 4455,
                 .caption = "           Description    Weight        Arm           Moment", .tabIndex = 27};
    rows[n++] = {.name = "Slider1", .kind = K::Slider, .left = 360, .top = 5760, .width = 4935, .height = 495,
                 .tabIndex = 37};
    for (int i = 0; i < static_cast<int>(kLoadingCount); ++i)
        rows[n++] = {.name = "cmdLoading", .index = i, .kind = K::CommandButton, .left = 6000,
                     .top = 2160 + 840 * i, .width = 1935, .height = 495,
                     .caption = kLoadingCaptions[static_cast<std::size_t>(i)], .font = FontKind::ArialBlack,
                     .tabIndex = 48 + i};

    // Inside the frame, positions are from its outer top-left corner.
    rows[n++] = {.name = "Label16", .container = F, .left = 180, .top = 360, .width = 1395, .height = 270,
                 .caption = "Aircraft Empty  ", .backColor = kLighterGrey, .border = true,
                 .align = Align::Right, .tabIndex = 28};
    rows[n++] = {.name = "Label17", .container = F, .left = 975, .top = 720, .width = 600, .height = 270,
                 .caption = "  Pilot  ", .backColor = kLighterGrey, .border = true, .align = Align::Right,
                 .tabIndex = 29};
    for (int k = 0; k < 6; ++k)
        rows[n++] = {.name = "txtMisc", .index = k, .kind = K::TextBox, .container = F, .left = 240,
                     .top = 1080 + 360 * k, .width = 1335, .height = 285, .backColor = kLighterGrey,
                     .toolTip = "Description", .tabIndex = 4 + 3 * k};
    // The Tab key runs along each row: description, weight, arm.
    for (int i = 0; i < Sheet::kRowCount; ++i) {
        const int rowTop = 360 + 360 * i;
        rows[n++] = {.name = "txtWeight", .index = i, .kind = K::TextBox, .container = F, .left = 1680,
                     .top = rowTop, .width = 810, .height = i == 0 ? 285 : 315, .backColor = kLightYellow,
                     .toolTip = "Weight", .tabIndex = i == 0 ? 0 : i == 1 ? 2 : 3 * i - 1};
        rows[n++] = {.name = "txtArm", .index = i, .kind = K::TextBox, .container = F, .left = 2640,
                     .top = rowTop, .width = 720, .height = 315, .backColor = kLightYellow, .toolTip = "Arm",
                     .tabIndex = i == 0 ? 1 : i == 1 ? 3 : 3 * i};
        rows[n++] = {.name = "lblMoment", .index = i, .container = F, .left = 3480,
                     .top = i == 0 ? 375 : rowTop, .width = 1200, .height = 270, .backColor = kLighterGrey,
                     .border = true, .align = Align::Right, .toolTip = "Calculated Moment",
                     .tabIndex = i == 0 ? 33 : 40 + i};
    }
    rows[n++] = {.name = "Line1", .kind = K::Line, .container = F, .left = 120, .top = 3360, .width = 4800,
                 .height = 3360, .lineWidth = 3};
    rows[n++] = {.name = "Label22", .container = F, .left = 150, .top = 3480, .width = 1365, .height = 270,
                 .caption = "  Gross Weight  ", .backColor = kLighterGrey, .border = true, .align = Align::Right,
                 .tabIndex = 30};
    rows[n++] = {.name = "lblGrossWeight", .container = F, .left = 1680, .top = 3480, .width = 810,
                 .height = 270, .backColor = kLighterGrey, .border = true, .toolTip = "Gross Weight",
                 .tabIndex = 31};
    rows[n++] = {.name = "lblGrossMoment", .container = F, .left = 3480, .top = 3480, .width = 1200,
                 .height = 270, .backColor = kLighterGrey, .border = true, .align = Align::Right,
                 .toolTip = "Gross Moment", .tabIndex = 32};
    rows[n++] = {.name = "Line2", .kind = K::Line, .container = F, .left = 120, .top = 3960, .width = 4800,
                 .height = 3960, .lineWidth = 3};
    rows[n++] = {.name = "Label18", .container = F, .left = 240, .top = 4080, .width = 3285, .height = 270,
                 .caption = "  Moment /  Weight  = Flying Weight CG  ", .backColor = kLighterGrey,
                 .border = true, .tabIndex = 34};
    rows[n++] = {.name = "lblFlyCG", .container = F, .left = 3840, .top = 4080, .width = 660, .height = 270,
                 .backColor = kLightGreen, .border = true, .toolTip = "Center of Gravity", .tabIndex = 35};
    // A row left out would be built as a control without a name.
    if (n != rows.size())
        throw "every row of the layout is filled";
    return rows;
}

}  // namespace detail

inline constexpr auto kLayout = detail::makeLayout();

// The row of the layout for a control, by name and array index; a name that
// is not in the layout does not compile.
consteval const ControlSpec& layoutOf(std::string_view name, int index = -1)
{
    for (const ControlSpec& row : kLayout)
        if (row.name == name && row.index == index)
            return row;
    throw "no such control in the layout";
}

}  // namespace kq71wb::window
