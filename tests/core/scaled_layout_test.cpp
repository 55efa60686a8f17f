#include "register/core/shell/scaled_layout.h"

#include <gtest/gtest.h>

namespace quorva {
namespace {

bool Overlap(const ButtonBox& a, const ButtonBox& b)
{
    return a.left < b.right() && b.left < a.right() && a.top < b.bottom() && b.top < a.bottom();
}

// The main window's seven buttons, 连接扫描枪 … 退出, by caption length: a
// character is about 12 pixels at 100%, the frame 16. The last width is a
// window made narrow by hand; at 100% with room to spare nothing changes.
TEST(ButtonRowLayout, EveryButtonStaysWholeAndApartFrom100To200PercentDownToA1024PixelScreen)
{
    for (int dpi : {96, 120, 144, 168, 192}) {
        const auto scaled = [dpi](int pixels) { return pixels * dpi / 96; };
        const ButtonRowMetrics metrics{scaled(8), scaled(8), scaled(2), scaled(96), scaled(28), scaled(8)};
        std::vector<int> captions;
        for (int characters : {5, 4, 4, 2, 2, 4, 2}) captions.push_back(scaled(characters * 12 + 16));
        for (int width : {1008, 1024, 1280, 1920, 400}) {
            SCOPED_TRACE(testing::Message() << dpi << " dpi, " << width << " pixels");
            const ButtonRowLayout layout = LayOutButtonRow(width, captions, metrics);
            ASSERT_EQ(layout.buttons.size(), captions.size());
            EXPECT_EQ(layout.rows == 1, width > 1000);
            for (std::size_t i = 0; i < captions.size(); ++i) {
                const ButtonBox& box = layout.buttons[i];
                EXPECT_TRUE(box.width >= captions[i] && box.left >= 0 && box.right() <= width) << i;
                for (std::size_t j = 0; j < i; ++j) EXPECT_FALSE(Overlap(box, layout.buttons[j])) << i << " on " << j;
                if (dpi == 96 && width >= 1024 && i < 6) {
                    EXPECT_EQ(box.left, 8 + 104 * static_cast<int>(i));
                }
            }
            EXPECT_EQ(layout.buttons.back().right(), width - metrics.margin) << "退出 keeps the right edge";
            EXPECT_EQ(layout.buttons.back().bottom(), layout.height - metrics.padding) << "on the last row";
        }
    }
}

// The entry dialog at 150% on a 1366 x 728 work area, the search dialog at
// 200% on 1024 x 768; a dialog that fits keeps its scale.
TEST(FittingDpi, ADialogTallerOrWiderThanTheScreenShrinksToFitIt)
{
    EXPECT_EQ(FittingDpi(144, 588, 629, 1366, 728), 111);
    EXPECT_EQ(FittingDpi(192, 685, 533, 1024, 768), 138);
    EXPECT_EQ(FittingDpi(120, 685, 533, 1280, 1024), 120);
    EXPECT_EQ(FittingDpi(96, 588, 629, 640, 400), kSmallestFittingDpi);
}

}  // namespace
}  // namespace quorva
