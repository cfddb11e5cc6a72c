#pragma once

// Style-sheet templates the theme fills from the configuration with QString::arg.
// Placeholders are numbered in the order the values are supplied; the tabs are only white space.
namespace ThemeTemplates {

// The main background as an image (%1 image path, %2..%4 border colour).
inline constexpr char backgroundImage[] = "QFrame#frame_Bg{\n"
                                          "\tborder-image: url(%1);\n"
                                          "\tborder: none;\n"
                                          "\tborder:1px solid rgb(%2, %3, %4);\n"
                                          "\tborder-radius: 12px;\n"
                                          "}";

// The main background as a colour (%1..%3 background, %4..%6 border).
inline constexpr char backgroundColour[] = "QFrame#frame_Bg{\n"
                                           "\tbackground-color: rgb(%1, %2, %3);\n"
                                           "\tborder: none;\n"
                                           "\tborder:1px solid rgb(%4, %5, %6);\n"
                                           "\tborder-radius: 12px;\n"
                                           "}";

// The metric bars (%1..%3 groove, %4..%6 gradient start, %7..%9 gradient end).
inline constexpr char bars[] =
    "QProgressBar {\n"
    "\tbackground-color: rgb(%1, %2, %3);\n"
    "\tborder-radius:4px;\n"
    "}\n"
    "QProgressBar::chunk {\n"
    "\tbackground-color: qlineargradient(spread:pad, x1:0, y1:0, x2:1, y2:0, "
    "stop:0.0568182 rgba(%4, %5, %6, 255), stop:0.914773 rgba(%7, %8, %9, 255));\n"
    "\tborder-radius:4px;\n"
    "}";

// The two figure panels of the monitor page (%1..%3 border colour).
inline constexpr char leftPanel[] = "QFrame#frame_LeftArea{\n"
                                    "\tborder: none;\n"
                                    "\tborder:2px solid rgb(%1, %2, %3);\n"
                                    "\tborder-radius: 20px;\n"
                                    "}";
inline constexpr char rightPanel[] = "QFrame#frame_RightArea{\n"
                                     "\tborder: none;\n"
                                     "\tborder:2px solid rgb(%1, %2, %3);\n"
                                     "\tborder-radius: 20px;\n"
                                     "}";

// Captions, values and units (%1..%3 text colour, %4 font family).
inline constexpr char metricLabel[] = "QLabel{\n"
                                      "\tcolor: rgb(%1, %2, %3);\n"
                                      "\tfont: 75 10pt \"%4\";\n"
                                      "}";

// The unit radio buttons (%1 normal colour text, %2 selected colour text, %3 font family).
inline constexpr char radioButtons[] =
    "QRadioButton{\tcolor: rgb(%1);\n"
    "\tfont: 75 12pt \"%3\";\n"
    "}\n"
    "QRadioButton:unchecked{\n"
    "\tcolor: rgb(%1);\n"
    "\tfont: 75 12pt \"%3\";\n"
    "}\n"
    "QRadioButton:checked {\n"
    "\tcolor: rgb(%2);\n"
    "\tfont: 75 12pt \"%3\";\n"
    "}\n"
    "QRadioButton::indicator:checked { background-color: rgb(%2); border-radius:6px; "
    "border:2px solid white; }";

// Page buttons of the variant (%1/%2 fill gradient colour texts, %3 text colour text,
// %4..%6 border colour).
inline constexpr char pageButtonsVariant[] =
    "QPushButton{\n"
    "\tbackground-color: rgb(0, 0, 0, 0);\n"
    "\tcolor: rgb(%3);\n"
    "\tborder: 2px solid rgb(%4, %5, %6);\n"
    "\tborder-radius:8px;\n"
    "}\n"
    "QPushButton:checked{\n"
    "\tbackground-color: qlineargradient(spread:pad, x1:0, y1:0, x2:1, y2:0, "
    "stop:0 rgba(%1, 85), stop:1 rgba(%2, 85));\n"
    "\tcolor: rgb(%3);\n"
    "\tborder: 2px solid rgb(%4, %5, %6);\n"
    "\tborder-radius:8px;\n"
    "}";

// Page buttons by default (%1..%3 text colour).
inline constexpr char pageButtons[] =
    "QPushButton{\n"
    "\tcolor: rgb(%1, %2, %3);\n"
    "\tborder: 2px solid rgb(102, 102, 102);\n"
    "\tborder-radius:8px;\n"
    "}\n"
    "QPushButton:hover{\n"
    "\tcolor: rgb(%1, %2, %3);\n"
    "\tborder: 2px solid qlineargradient(spread:pad, x1:0, y1:0, x2:1, y2:0, "
    "stop:0.0568182 rgba(236, 3, 78, 255), stop:0.914773 rgba(255, 41, 37, 255));\n"
    "\tborder-radius:8px;\n"
    "}\n"
    "QPushButton:pressed{\n"
    "\tcolor: rgb(%1, %2, %3);\n"
    "\tborder: 2px solid qlineargradient(spread:pad, x1:0, y1:0, x2:1, y2:0, "
    "stop:0.0568182 rgba(236, 3, 78, 255), stop:0.914773 rgba(255, 41, 37, 255));\n"
    "\tborder-radius:8px;\n"
    "}\n"
    "QPushButton:checked{\n"
    "\tcolor: rgb(%1, %2, %3);\n"
    "\tborder: 2px solid qlineargradient(spread:pad, x1:0, y1:0, x2:1, y2:0, "
    "stop:0.0568182 rgba(236, 3, 78, 255), stop:0.914773 rgba(255, 41, 37, 255));\n"
    "\tborder-radius:8px;\n"
    "}\n";

// A plain label colour (%1..%3).
inline constexpr char labelColour[] = "QLabel{\n"
                                      "\tcolor: rgb(%1, %2, %3);\n"
                                      "}";

// A button drawn as one image (%1 image path).
inline constexpr char imageButton[] = "QPushButton{ border-image: url(%1); }";

// The right area keeps only its rounded corners.
inline constexpr char rightArea[] = "QFrame#frame_RightAreaABC{\n"
                                    "\tborder-top-right-radius:12px;\n"
                                    "\tborder-bottom-right-radius:12px;\n"
                                    "}";

} // namespace ThemeTemplates
