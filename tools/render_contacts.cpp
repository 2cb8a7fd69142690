// Renders the contact picture of a few contact states into BMP files, so that
// the picture can be looked at without a glove box.
//
// usage: render_contacts [DIRECTORY]
//
// Each state is drawn at the control's size in the main window and at three
// times that size, on the dialog's face colour as the control shows it.
#include "display/contact_display.h"
#include "protocol/glove_protocol.h"

#include <stdio.h>

struct Scene {
    const char *name;
    uint8_t groupCount;
    uint16_t groups[MAX_GROUPS];
    uint32_t timestampMs;
};

// Each group holds the left glove's mask in its low byte, the right's in its high byte.
static const Scene Scenes[] = {
    {"idle", 0, {}, 0},
    // The report 80 08 10 8F: the left index finger touches the right thumb.
    {"event", 1, {0x1008}, 0},
    // Five groups, the left and right ground contacts together, 272 ms.
    {"groups", 5, {0x1008, 0x0206, 0x0401, 0x2020, 0x0810}, 272},
};

// IDC_CONTACTS is 200 x 85 dialog units; this is its size in pixels in the
// dialog's 8-point shell font at 96 dots per inch.
static const SIZE ControlSize = {350, 138};

static bool WriteBitmap(const char *path, const BITMAPINFOHEADER &header, const void *bits)
{
    DWORD rowBytes = ((header.biWidth * header.biBitCount + 31) / 32) * 4;
    DWORD imageBytes = rowBytes * header.biHeight;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + imageBytes;
    FILE *f = fopen(path, "wb");
    if (!f)
        return false;
    bool written = fwrite(&file, sizeof file, 1, f) == 1 &&
                   fwrite(&header, sizeof header, 1, f) == 1 && fwrite(bits, imageBytes, 1, f) == 1;
    return fclose(f) == 0 && written;
}

// Paints the current ContactState as WM_DRAWITEM would, into a fresh bitmap.
static bool RenderScene(const char *path, int width, int height)
{
    BITMAPINFO info = {};
    BITMAPINFOHEADER &header = info.bmiHeader;
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height; // bottom-up, the row order of a BMP file
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    void *bits = NULL;
    HBITMAP bitmap = CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, bitmap);

    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_STATIC;
    item.itemAction = ODA_DRAWENTIRE;
    item.hDC = dc;
    SetRect(&item.rcItem, 0, 0, width, height);
    FillRect(dc, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    DrawContacts(&item);
    GdiFlush();

    bool written = WriteBitmap(path, header, bits);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
    return written;
}

int main(int argc, char **argv)
{
    const char *directory = argc > 1 ? argv[1] : ".";
    CreateDrawingObjects();
    int failures = 0;
    for (const Scene &scene : Scenes) {
        ContactState.GroupCount = scene.groupCount;
        for (unsigned k = 0; k < MAX_GROUPS; k++)
            ContactState.Groups[k] = scene.groups[k];
        ContactState.TimestampMs = scene.timestampMs;
        for (int scale = 1; scale <= 3; scale += 2) {
            char path[MAX_PATH];
            snprintf(path, sizeof path, "%s\\contacts-%s-x%d.bmp", directory, scene.name, scale);
            if (RenderScene(path, ControlSize.cx * scale, ControlSize.cy * scale)) {
                printf("%s\n", path);
            } else {
                fprintf(stderr, "cannot write %s\n", path);
                failures++;
            }
        }
    }
    return failures != 0;
}
