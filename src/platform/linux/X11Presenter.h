#pragma once

#include "editor/graphics/IRectangle.h"

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <cstdint>
#include <vector>

class LICE_IBitmap;

namespace zr
{

// Copies areas of a bitmap into a window: through a shared-memory image when the server offers
// MIT-SHM on this connection, else with XPutImage. Only true-colour visuals of 24 or 32 bits with
// the usual masks are served (what every current X server gives).
class X11Presenter
{
public:
    X11Presenter(Display* display, Drawable drawable, Visual* visual, int depth);
    ~X11Presenter();
    X11Presenter(const X11Presenter&) = delete;
    X11Presenter& operator=(const X11Presenter&) = delete;

    // Copies area of bitmap to (x, y) of the window; false when nothing could be shown.
    bool Present(const LICE_IBitmap& bitmap, const IRectangle& area, int x, int y);
    bool UsesSharedMemory() const { return shm_ != nullptr; }

private:
    bool MakeSharedImage(int w, int h);
    void FreeSharedImage();
    bool PresentPlain(const LICE_IBitmap& bitmap, const IRectangle& area, int x, int y);

    Display* display_;
    Drawable drawable_;
    Visual* visual_;
    int depth_;
    GC gc_;
    bool supported_;
    bool shmOffered_;
    XImage* shm_ = nullptr;
    XShmSegmentInfo segment_{};
    std::vector<uint32_t> rows_;
};

} // namespace zr
