#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zr
{
class ZR4400;
namespace vst
{
struct AEffect;
}

// One instance of the instrument with its editor open on the headless platform, for pictures of its
// panel: what zr4400-panel draws and what the panel's golden test compares.
class PanelShot
{
public:
    PanelShot();
    ~PanelShot();
    PanelShot(const PanelShot&) = delete;
    PanelShot& operator=(const PanelShot&) = delete;

    ZR4400& Plug() const;
    // Sets a parameter as host automation does (normalised value).
    void SetParameter(int index, float value);

    // Mouse gestures in panel coordinates, as a user makes them.
    void Hover(int x, int y);
    void Click(int x, int y);
    // A press at (x, y), a drag by (dx, dy) and the release there.
    void Drag(int x, int y, int dx, int dy);

    // Draws every control and returns the presented panel, A<<24|R<<16|G<<8|B, row by row.
    std::vector<uint32_t> Draw();
    int Width() const;
    int Height() const;

private:
    vst::AEffect* effect_;
};

// Writes pixels (A<<24|R<<16|G<<8|B) as an RGB PNG file; false on failure.
bool WritePanelPng(const std::string& path, const std::vector<uint32_t>& pixels, int width, int height);

// A 64-bit FNV-1a hash of the pixels' RGB bytes.
uint64_t HashPixels(const std::vector<uint32_t>& pixels);

} // namespace zr
