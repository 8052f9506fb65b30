#pragma once

// Bitmap helpers shared by the panel base, the skin resource cache, the frame panel and the
// controls. User-interface thread only; they keep no state but the masked paint's two DCs (per thread).

#include "platform/Handles.h"

#include <windows.h>

// A window region of the pixels of the bitmap that are not pure white (white is transparent).
// Empty (but valid) for an all-white bitmap; none for no bitmap or when no DC or DIB can be made.
CRgnHandle CreateRegionFromBitmap(HBITMAP bitmap);
// The same for the part (left, top) - (right, bottom) of the bitmap, in the part's own coordinates
// (its top-left pixel at 0, 0); pixels of the part beyond the bitmap count as black, as in a copy.
CRgnHandle CreateRegionFromBitmap(HBITMAP bitmap, const RECT& part);
// The same with the colour of the bitmap's top-left pixel as the transparent colour (a picture
// whose background colour is its own).
CRgnHandle CreateRegionWithoutCornerColor(HBITMAP bitmap);

// Replaces target by a new bitmap, compatible with dc, of the source's rectangle (left, top) -
// (right, bottom) copied 1:1. Changes nothing and returns false without a source bitmap or for an
// empty rectangle.
bool CopyBitmapRect(CBitmapHandle& target, HDC dc, HBITMAP source, int left, int top, int right, int bottom);

// Loads a picture file (any format the system's picture loader reads) and replaces target by a
// bitmap of it that the caller owns. False, leaving target unchanged, when the file cannot be
// opened, sized or read, or is no picture.
bool LoadPictureFile(const wchar_t* path, CBitmapHandle& target);

// Paints picture into area of target (both drawn from their top-left corners) where mask is black
// and keeps target where the mask is white; without a picture only the mask's black part is
// blackened. The mask is a colour or monochrome bitmap at least as large as area.
void PaintThroughMask(HDC target, const RECT& area, HBITMAP picture, HBITMAP mask);
// The same with the picture drawn from pictureAt and the mask from maskAt: a part of larger
// pictures, drawn where it lies without a copy of its own.
void PaintThroughMask(HDC target, const RECT& area, HBITMAP picture, POINT pictureAt, HBITMAP mask, POINT maskAt);
