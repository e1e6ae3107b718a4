// The two mouse pictures (bitmaps 201 and 202) and the memory surfaces they
// are drawn from. Both pictures stay selected into their own surface for the
// window's whole life, so painting is a single copy.
#include "kaplet.h"
#include "resource.h"
#include "zerofilled.h"

ZERO_FILLED static HBITMAP leftPicture;
ZERO_FILLED static HBITMAP rightPicture;
ZERO_FILLED static HDC leftSurface;
ZERO_FILLED static HDC rightSurface;

BOOL LoadPictures(HINSTANCE instance)
{
    // One at a time, so the system error is that of the failed load.
    leftPicture = LoadBitmapA(instance, MAKEINTRESOURCEA(IDB_LEFT_PICTURE));
    if (!leftPicture)
        return FALSE;
    rightPicture = LoadBitmapA(instance, MAKEINTRESOURCEA(IDB_RIGHT_PICTURE));
    return rightPicture != NULL;
}

BOOL CreatePictureSurfaces(HWND window)
{
    HDC windowDc = GetDC(window);
    leftSurface = CreateCompatibleDC(windowDc);
    rightSurface = CreateCompatibleDC(windowDc);
    ReleaseDC(window, windowDc);
    if (!leftSurface || !rightSurface)
        return FALSE;
    SelectObject(leftSurface, leftPicture);
    SelectObject(rightSurface, rightPicture);
    return TRUE;
}

void PaintPicture(HDC dc, int rightMode)
{
    // Both pictures have the same size; the left one's stands for both.
    BITMAP size;
    ZeroMemory(&size, sizeof(size));
    GetObjectA(leftPicture, sizeof(size), &size);
    BitBlt(dc, PICTURE_X, PICTURE_Y, size.bmWidth, size.bmHeight,
           rightMode ? rightSurface : leftSurface, 0, 0, SRCCOPY);
}

void ReleasePictures(void)
{
    // Surfaces first: a bitmap still selected into a surface cannot be deleted.
    if (leftSurface)
        DeleteDC(leftSurface);
    if (rightSurface)
        DeleteDC(rightSurface);
    if (leftPicture)
        DeleteObject(leftPicture);
    if (rightPicture)
        DeleteObject(rightPicture);
    leftSurface = rightSurface = NULL;
    leftPicture = rightPicture = NULL;
}
