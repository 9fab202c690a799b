#include "ui/notice_layout.h"

#include "ui/dpi_scale.h"

const char kKeyboardHelpCaption[] = "キーボード操作 - Tamble";
const char kKeyboardHelpText[] =
    "↑,↓,←,→,(U,D,L,R)\t座標を移動する　　　\r\n"
    "1～9\t移動方向に1～9ピクセル座標を移動する　　　　\r\n"
    "<スペース>\t座標を確定する\r\n"
    "+,B\t矩形を固定する(トグル動作)\r\n"
    "*,A\t縦横比の一時解除\r\n"
    "-,Z\t方向を反転する\r\n"
    "<メニュー>\tボックスを表示する\r\n"
    "0,C\t左上座標に戻る\r\n";

std::vector<NoticeLine> notice_split_lines(const char* text) {
    std::vector<NoticeLine> lines;
    if (!text) return lines;
    size_t start = 0, i = 0;
    for (; text[i]; ++i) {
        if (text[i] == '\r' && text[i + 1] == '\n') {
            lines.push_back(NoticeLine{start, i - start});
            start = i + 2;
            ++i;
        }
    }
    if (i > start) lines.push_back(NoticeLine{start, i - start});
    return lines;
}

NoticeExtent notice_measure(const char* text, NoticeMeasure measure, void* context) {
    std::vector<NoticeLine> lines = notice_split_lines(text);
    NoticeExtent extent{0, int(lines.size())};
    for (const NoticeLine& line : lines) {
        if (line.length == 0) continue;
        int w = measure(text + line.offset, int(line.length), context);
        if (w > extent.widest) extent.widest = w;
    }
    return extent;
}

NoticeLayout notice_layout(const NoticeExtent& extent, const NoticeTemplate& t) {
    NoticeLayout out{};
    if (extent.widest <= 0 || extent.lines < 1) return out;
    // Each further line adds two thirds of the field's template height,
    // which is about one more line of the 12-pixel font.
    int extra = (2 * (extent.lines - 1) * t.edit_height) / 3;
    out.resize = true;
    out.window_width = extent.widest + scale_for_dpi(60, t.dpi);
    out.window_height = t.window_height + extra;
    out.edit_width = extent.widest + scale_for_dpi(10, t.dpi);
    out.edit_height = t.edit_height + extra;
    out.button_x = extent.widest / 2 - scale_for_dpi(20, t.dpi);
    out.button_y = t.button_top + extra;
    return out;
}

NoticeTemplate notice_template_at(const NoticeTemplate& t, int dpi) {
    const int from = t.dpi > 0 ? t.dpi : kBaseDpi;
    if (dpi <= 0 || dpi == from) return t;
    auto at = [&](int v) { return scale_between_dpis(v, from, dpi); };
    return NoticeTemplate{at(t.window_height), at(t.edit_left), at(t.edit_top),
                          at(t.edit_height),   at(t.button_top), dpi};
}
