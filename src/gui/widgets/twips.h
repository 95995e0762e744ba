#pragma once

#include <QtGlobal>

// Positions and sizes are designed in twips, 15 to a pixel at 96 dots per inch.
constexpr int TwipsPerPixel = 15;

// Rounded to the nearest pixel, as every designed position is placed.
constexpr int twipsToPixels(int twips)
{
    return twips >= 0 ? (twips + TwipsPerPixel / 2) / TwipsPerPixel
                      : -((-twips + TwipsPerPixel / 2) / TwipsPerPixel);
}
