#include "platform/linux/X11Presenter.h"

#include "editor/draw/LICE_IBitmap.h"
#include "platform/linux/X11ErrorTrap.h"

#include <X11/Xutil.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstring>

namespace zr
{

namespace
{
// The area inside the bitmap, or empty.
IRectangle Clip(const LICE_IBitmap& bitmap, const IRectangle& area)
{
    return area.Intersect({0, 0, bitmap.Width(), bitmap.Height()});
}

void CopyRows(const LICE_IBitmap& bitmap, const IRectangle& area, uint32_t* dest, int destSpan)
{
    const uint32_t* bits = bitmap.Bits();
    for (int y = area.T; y < area.B; ++y)
    {
        const uint32_t* row = bits + static_cast<size_t>(y) * static_cast<size_t>(bitmap.RowSpan());
        std::memcpy(dest + static_cast<size_t>(y - area.T) * static_cast<size_t>(destSpan), row + area.L,
                    static_cast<size_t>(area.W()) * sizeof(uint32_t));
    }
}
} // namespace

X11Presenter::X11Presenter(Display* display, Drawable drawable, Visual* visual, int depth)
    : display_(display), drawable_(drawable), visual_(visual), depth_(depth),
      gc_(XCreateGC(display, drawable, 0, nullptr)),
      supported_((depth == 24 || depth == 32) && visual->red_mask == 0xFF0000 &&
                 visual->green_mask == 0xFF00 && visual->blue_mask == 0xFF),
      shmOffered_(XShmQueryExtension(display) == True)
{
}

X11Presenter::~X11Presenter()
{
    FreeSharedImage();
    XFreeGC(display_, gc_);
}

bool X11Presenter::Present(const LICE_IBitmap& bitmap, const IRectangle& area, int x, int y)
{
    const IRectangle clipped = Clip(bitmap, area);
    if (!supported_ || !bitmap.Bits()) return false;
    if (clipped.Empty()) return true;
    x += clipped.L - area.L;
    y += clipped.T - area.T;
    if (shmOffered_ && (shm_ || MakeSharedImage(bitmap.Width(), bitmap.Height())))
    {
        if (shm_->width < clipped.W() || shm_->height < clipped.H())
        {
            FreeSharedImage();
            if (!MakeSharedImage(std::max(bitmap.Width(), clipped.W()),
                                 std::max(bitmap.Height(), clipped.H())))
                return PresentPlain(bitmap, clipped, x, y);
        }
        CopyRows(bitmap, clipped, reinterpret_cast<uint32_t*>(shm_->data), shm_->bytes_per_line / 4);
        XShmPutImage(display_, drawable_, gc_, shm_, 0, 0, x, y, static_cast<unsigned>(clipped.W()),
                     static_cast<unsigned>(clipped.H()), False);
        // The segment is written again on the next present: wait until the server has read it.
        XSync(display_, False);
        return true;
    }
    return PresentPlain(bitmap, clipped, x, y);
}

bool X11Presenter::PresentPlain(const LICE_IBitmap& bitmap, const IRectangle& area, int x, int y)
{
    rows_.resize(static_cast<size_t>(area.W()) * static_cast<size_t>(area.H()));
    CopyRows(bitmap, area, rows_.data(), area.W());
    XImage* image = XCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, 0,
                                 reinterpret_cast<char*>(rows_.data()), static_cast<unsigned>(area.W()),
                                 static_cast<unsigned>(area.H()), 32, area.W() * 4);
    if (!image) return false;
    XPutImage(display_, drawable_, gc_, image, 0, 0, x, y, static_cast<unsigned>(area.W()),
              static_cast<unsigned>(area.H()));
    image->data = nullptr; // the rows stay ours
    XDestroyImage(image);
    XFlush(display_);
    return true;
}

bool X11Presenter::MakeSharedImage(int w, int h)
{
    shm_ = XShmCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, nullptr, &segment_,
                           static_cast<unsigned>(w), static_cast<unsigned>(h));
    if (!shm_ || shm_->bits_per_pixel != 32)
    {
        if (shm_) XDestroyImage(shm_);
        shm_ = nullptr;
        shmOffered_ = false;
        return false;
    }
    segment_.shmid = shmget(IPC_PRIVATE, static_cast<size_t>(shm_->bytes_per_line) * static_cast<size_t>(h),
                            IPC_CREAT | 0600);
    void* memory = segment_.shmid >= 0 ? shmat(segment_.shmid, nullptr, 0) : reinterpret_cast<void*>(-1);
    if (memory == reinterpret_cast<void*>(-1))
    {
        if (segment_.shmid >= 0) shmctl(segment_.shmid, IPC_RMID, nullptr);
        XDestroyImage(shm_);
        shm_ = nullptr;
        shmOffered_ = false;
        return false;
    }
    segment_.shmaddr = shm_->data = static_cast<char*>(memory);
    segment_.readOnly = False;
    const int errorsBefore = X11ErrorTrap::Errors(display_);
    XShmAttach(display_, &segment_);
    // Removed now so that it disappears with the last detach, however the process ends.
    const bool attached = X11ErrorTrap::Errors(display_) == errorsBefore;
    shmctl(segment_.shmid, IPC_RMID, nullptr);
    if (!attached)
    {
        shmdt(segment_.shmaddr);
        shm_->data = nullptr;
        XDestroyImage(shm_);
        shm_ = nullptr;
        shmOffered_ = false; // a server on another machine: plain images from now on
        return false;
    }
    return true;
}

void X11Presenter::FreeSharedImage()
{
    if (!shm_) return;
    XShmDetach(display_, &segment_);
    XSync(display_, False);
    shmdt(segment_.shmaddr);
    shm_->data = nullptr;
    XDestroyImage(shm_);
    shm_ = nullptr;
}

} // namespace zr
