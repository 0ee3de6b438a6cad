#pragma once

// The menu bar as data, in the order it shows. An entry on the bar followed by
// indented items is a drop-down menu; one without items acts when chosen on
// the bar itself. Empty captions are blank spacing, on the bar and in the
// drop-downs alike. "&" marks the access key.

#include <array>
#include <string_view>

#include "version.h"

namespace kq71wb::window {

struct MenuSpec {
    std::string_view name;
    std::string_view caption;
    bool indented = false;  // an item of the drop-down above it
};

inline constexpr auto kMenuBar = std::to_array<MenuSpec>({
    {"mnuExit", "E&xit"},
    {"mnuSpace0", ""},
    {"mnuPrint", "&Print"},
    {"mnuSpace1", ""},
    {"mnuSpace2", ""},
    {"mnuAbout", "&KQ 71 Weight and Balance"},
    {"mnuAbout1", "KQ71WB, the KQ 71 Sailplane Weight and Balance Calculator", true},
    {"mnuAbout2", "Version " KQ71WB_VERSION, true},
    {"mnuAbout3", "Copyright (c) 2026 The KQ71WB developers, MIT licence", true},
    {"mnuAbout4", "", true},
    {"mnuAbout5", "Reference: KQ 71B Final Assembly Instructions", true},
    {"mnuAbout6", "and Drawing 40517, Placards.", true},
    {"mnuAbout7", "", true},
    {"mnuAbout8", "Weight  x  Arm  =  Moment", true},
    {"mnuAbout9", "Total Moment / Total Weight = CG", true},
    {"mnuspace3", ""},
    {"mnuHelp", "&Help"},
    {"mnuHelp1", "Enter weights and moment arms for items as needed.", true},
    {"mnuHelp2", "", true},
    {"mnuHelp3", "Items forward of Datum are entered as minus (-)  Arms.", true},
    {"mnuHelp4", "", true},
    {"mnuHelp5", "Up to 4 standard loadings or gliders can be entered", true},
    {"mnuHelp6", "into a data file (KQ71WB.dat) and accessed by the", true},
    {"mnuHelp7", "buttons at the right.", true},
    {"mnuHelp8", "", true},
    {"mnuReport", "&Report a problem\u2026", true},
});

}  // namespace kq71wb::window
