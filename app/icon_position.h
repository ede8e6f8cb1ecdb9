// Where a minimized window draws its icon: centred in the client area,
// rounding half a pixel up, in signed arithmetic that truncates toward zero
// (a 16 x 16 area and a 32 x 32 icon give -7, not -8).
#pragma once

struct IconPosition {
    int x;
    int y;
};

constexpr IconPosition CenteredIconPosition(int clientWidth, int clientHeight, int iconWidth, int iconHeight)
{
    return {(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}
