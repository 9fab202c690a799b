// The notice dialog's layout: how its text splits into lines and how the
// dialog, its text field and its button grow to fit the widest line.
#pragma once

#include <cstddef>
#include <vector>

// One line of a notice text (offset and length into the text, without the
// "\r\n").
struct NoticeLine {
    size_t offset;
    size_t length;
};

// Splits `text` at each "\r\n". Every segment ending in "\r\n" is a line,
// empty or not; a non-empty rest after the last one is one more line.
std::vector<NoticeLine> notice_split_lines(const char* text);

// The widest non-empty line as `measure` reports it, and the line count.
struct NoticeExtent {
    int widest;
    int lines;
};
typedef int (*NoticeMeasure)(const char* line, int length, void* context);
NoticeExtent notice_measure(const char* text, NoticeMeasure measure, void* context);

// The template's geometry in pixels at the dialog's DPI: the window's
// height, the text field's client-relative top-left and height, the
// button's client-relative top. A `dpi` of 0 counts as 96.
struct NoticeTemplate {
    int window_height;
    int edit_left;
    int edit_top;
    int edit_height;
    int button_top;
    int dpi;
};

// The same template shown at `dpi` (the dialog moved to another monitor).
NoticeTemplate notice_template_at(const NoticeTemplate& t, int dpi);

// What opening changes. When `resize` is false the dialog keeps its
// template size (nothing measurable in the text).
struct NoticeLayout {
    bool resize;
    int window_width;
    int window_height;
    int edit_width;
    int edit_height;
    int button_x;
    int button_y;
};

// `extent` is measured in the template's DPI; the room around the text
// grows with it.
NoticeLayout notice_layout(const NoticeExtent& extent, const NoticeTemplate& t);

// The keyboard help: its caption and its eight lines. The first two lines
// are padded with ideographic spaces because the measured width does not
// count the tab's expansion.
extern const char kKeyboardHelpCaption[];
extern const char kKeyboardHelpText[];
