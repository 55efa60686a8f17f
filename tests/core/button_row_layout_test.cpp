#include "register/core/shell/button_row_layout.h"

#include <gtest/gtest.h>

namespace quorva {
namespace {

// The main window's seven buttons by caption length: 连接扫描枪, 录入登记,
// 编辑记录, 查询, 删除, 导出列表, 退出.
constexpr int kCaptionCharacters[] = {5, 4, 4, 2, 2, 4, 2};

int Scaled(int pixels, int dpi) { return pixels * dpi / 96; }

ButtonRowMetrics MetricsAt(int dpi)
{
    return {Scaled(8, dpi), Scaled(8, dpi), Scaled(2, dpi), Scaled(96, dpi), Scaled(28, dpi), Scaled(8, dpi)};
}

// A character of the message font is about 12 pixels at 100%; the frame
// takes 8 on each side.
std::vector<int> CaptionsAt(int dpi)
{
    std::vector<int> widths;
    for (int characters : kCaptionCharacters) widths.push_back(Scaled(characters * 12 + 16, dpi));
    return widths;
}

bool Overlap(const ButtonBox& a, const ButtonBox& b)
{
    return a.left < b.right() && b.left < a.right() && a.top < b.bottom() && b.top < a.bottom();
}

TEST(ButtonRowLayout, EveryButtonStaysWholeAndApartFrom100To200PercentDownToA1024PixelScreen)
{
    for (int dpi : {96, 120, 144, 168, 192}) {
        // The last width, a window made narrow by hand, wraps.
        for (int width : {1008, 1024, 1280, 1920, 400}) {
            const std::vector<int> captions = CaptionsAt(dpi);
            const ButtonRowMetrics metrics = MetricsAt(dpi);
            const ButtonRowLayout layout = LayOutButtonRow(width, captions, metrics);
            SCOPED_TRACE(testing::Message() << dpi << " dpi, " << width << " pixels");
            ASSERT_EQ(layout.buttons.size(), captions.size());
            EXPECT_EQ(layout.rows == 1, width > 1000);
            for (std::size_t i = 0; i < captions.size(); ++i) {
                const ButtonBox& box = layout.buttons[i];
                EXPECT_GE(box.width, captions[i]) << i;
                EXPECT_GE(box.left, 0) << i;
                EXPECT_LE(box.right(), width) << i;
                EXPECT_LE(box.bottom(), layout.height) << i;
                for (std::size_t j = 0; j < i; ++j) EXPECT_FALSE(Overlap(box, layout.buttons[j])) << i << " on " << j;
            }
            EXPECT_EQ(layout.buttons.back().right(), width - metrics.margin) << "退出 keeps the right edge";
            EXPECT_EQ(layout.buttons.back().top, layout.height - metrics.buttonHeight - metrics.padding);
        }
    }
}

TEST(ButtonRowLayout, WhereTheRowFitsButtonsAndGapsKeepTheirUsualSizes)
{
    const ButtonRowLayout layout = LayOutButtonRow(1024, CaptionsAt(96), MetricsAt(96));
    for (std::size_t i = 0; i + 1 < layout.buttons.size(); ++i) {
        EXPECT_EQ(layout.buttons[i].left, 8 + 104 * static_cast<int>(i));
        EXPECT_EQ(layout.buttons[i].width, 96);
    }
    EXPECT_EQ(layout.height, 44);
}

}  // namespace
}  // namespace quorva
