// The editor's preview: items written by BASE64 output in each format come
// back as their pictures, fitted and centred on a black canvas.
#include "scrap/preview.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "output/scrap_item.h"
#include "state/app_state.h"
#include "state/settings.h"
#include "tests/unit/dib_test_support.h"
#include "tests/unit/data_folder_test.h"
#include "tests/unit/test_files.h"

namespace {

TEST(Preview, FitEnlargesAndShrinks) {
    struct Case { int w, h, cw, ch, fw, fh; };
    const Case cases[] = {
        {40, 20, 200, 150, 200, 100},   // enlarged to the width
        {400, 600, 200, 150, 100, 150}, // shrunk to the height
        {200, 150, 200, 150, 200, 150},
        {3, 1000, 200, 150, 0, 150},    // a thread of a picture has no width left
    };
    for (const Case& c : cases) {
        int fw = -1, fh = -1;
        preview_fit(c.w, c.h, c.cw, c.ch, &fw, &fh);
        EXPECT_EQ(fw, c.fw) << c.w << "x" << c.h;
        EXPECT_EQ(fh, c.fh) << c.w << "x" << c.h;
    }
}

using PreviewRender = DataFolderTest;

// A 40 x 20 picture in reds in a 200 x 150 preview: 200 x 100 from (0, 25),
// black above and below.
TEST_F(PreviewRender, EachFormatFitsAndCentres) {
    PackedDib picture = dib_create24(40, 20);
    {
        Locked p(picture);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 40; ++x) {
                uint8_t* px = dib_row_top_down(p.h, y) + 3 * x;
                px[0] = uint8_t(x), px[1] = uint8_t(2 * y), px[2] = uint8_t(0xA0 + 2 * x);
            }
    }
    for (const char* type : {"bmp", "gif", "jpg", "png"}) {
        SCOPED_TRACE(type);
        settings_write_string(kSectionOutput, "Type", type);
        int error = 0;
        char* item = build_scrap_item(nullptr, nullptr, nullptr, picture, &error);
        ASSERT_NE(item, nullptr);
        const char* tag = std::strstr(item, "\r\n<img ");
        PackedDib canvas = dib_create24(200, 150);
        EXPECT_EQ(preview_render(canvas, tag, (folder_ + "$image").c_str()), 1);
        Locked c(canvas);
        // Mean red of a column over rows [top, bottom).
        auto red = [&](int x, int top, int bottom) {
            int sum = 0;
            for (int y = top; y < bottom; ++y) sum += dib_row_top_down(c.h, y)[3 * x + 2];
            return sum / (bottom - top);
        };
        for (int x : {0, 100, 199}) {
            EXPECT_EQ(red(x, 0, 25), 0) << x;
            EXPECT_EQ(red(x, 125, 150), 0) << x;
            // The scaler fades the top rows of an enlarged picture; below them
            // the picture reaches from the left edge to the right one.
            EXPECT_GT(red(x, 30, 125), 0x90) << x;
        }
        std::free(item);
        c.unlock();
        mem_free(canvas);
    }
    mem_free(picture);
}

TEST_F(PreviewRender, DamagedPicturesLeaveTheCanvasBlack) {
    const char* tags[] = {
        "\r\n<img src=\"data:image/jpeg;base64,////\">\r\n",  // not a JPEG
        "\r\n<img src=\"data:image/gif;base64,\">\r\n",       // nothing
        "\r\n<img src=\"data:image/png;base64,iVBORw0KGgo=\">\r\n",  // a PNG cut after its signature
        "\r\n<img src=\"no data at all\">\r\n",
    };
    for (const char* tag : tags) {
        PackedDib canvas = dib_create24(20, 10);
        {
            Locked c(canvas);
            std::memset(dib_row_top_down(c.h, 0), 0x55, 60);
        }
        EXPECT_EQ(preview_render(canvas, tag, (folder_ + "$image").c_str()), 0) << tag;
        Locked c(canvas);
        EXPECT_EQ(dib_row_top_down(c.h, 0)[0], 0) << tag;
        c.unlock();
        mem_free(canvas);
    }
}

}  // namespace
