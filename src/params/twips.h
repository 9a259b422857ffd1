// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Window positions are stored and described in twips; the screen works in pixels.
namespace Twips {
constexpr int PerPixel = 15;
constexpr int toPixels(double twips)
{
    return int(twips / PerPixel + (twips >= 0 ? 0.5 : -0.5));
}
constexpr double fromPixels(int pixels)
{
    return double(pixels) * PerPixel;
}
} // namespace Twips
