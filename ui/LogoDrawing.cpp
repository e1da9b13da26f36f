#include "ui/LogoDrawing.h"

#include "ui/GdiOwners.h"
#include "ui/PictureScale.h"

namespace reflasher {

void DrawLogo(Gdi& gdi, GdiDc target, int dpi, const std::optional<PictureInk>& ink) {
    // Declared in this order so the selection is undone before the bitmap and the DC go.
    const OwnedDc memory(gdi, gdi.CreateCompatibleDc(target));
    if (!memory) return;
    const OwnedBitmap logo(gdi, LoadLogo(gdi, dpi, ink));
    if (!logo) return;
    int width = 0;
    int height = 0;
    if (!gdi.BitmapSize(logo.get(), &width, &height)) return;
    const BitmapSelection selection(gdi, memory.get(), logo.get());
    if (!selection.Selected()) return;
    gdi.TransparentBlt(target, 0, 0, width, height, memory.get(), 0, 0, width, height,
                       kLogoTransparentColor);
}

}  // namespace reflasher
