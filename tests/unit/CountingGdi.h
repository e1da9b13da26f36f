// A drawing layer that only keeps books: which bitmaps and memory DCs are alive,
// what is selected into each DC, and every misuse (a handle released twice or
// never made, a bitmap deleted while selected or still shown, a DC deleted with
// a bitmap of ours in it). Beside it a picture control that behaves like a static
// control: it hands back what it held, and can be told to keep copies of what it
// is given, as version 6 of the common controls may do.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "ui/GdiInterface.h"

namespace reflasher::fakes {

struct DrawCall {
    GdiDc target;
    int x, y, width, height;
    GdiDc source;
    int sourceX, sourceY, sourceWidth, sourceHeight;
    GdiColor transparent;
    int sourceBitmapId;  // resource id of what was selected into the source, or 0
};

class CountingGdi : public Gdi {
public:
    // Failure injection: the next calls of that kind fail.
    bool failLoad = false;
    bool failSize = false;
    bool failCreateDc = false;
    bool failSelect = false;

    GdiBitmap LoadBitmapResource(int resourceId) override {
        if (failLoad) return {};
        return NewBitmap(resourceId);
    }
    bool BitmapSize(GdiBitmap bitmap, int* width, int* height) override {
        if (failSize || !Alive(bitmap, "BitmapSize")) return false;
        const auto scaled = sizes_.find(bitmap.raw);
        if (scaled != sizes_.end()) {
            *width = scaled->second.first;
            *height = scaled->second.second;
            return true;
        }
        // The drawn sets: 100% (145..148, 199), then 125..200% from 300 in steps of 10.
        const int id = bitmaps_[bitmap.raw];
        const bool logo = id == 199 || (id >= 300 && id % 10 == 5);
        const int percent = id >= 300 ? 125 + 25 * ((id - 300) / 10) : 100;
        *width = ((logo ? 96 : 53) * percent + 50) / 100;
        *height = ((logo ? 69 : 71) * percent + 50) / 100;
        return true;
    }
    GdiBitmap ScaleBitmap(GdiBitmap source, int width, int height, bool keyedOnCyan) override {
        if (!Alive(source, "ScaleBitmap")) return {};
        scales.push_back({bitmaps_[source.raw], width, height, keyedOnCyan});
        const GdiBitmap scaled = NewBitmap(bitmaps_[source.raw]);
        sizes_[scaled.raw] = {width, height};
        return scaled;
    }
    GdiBitmap InkBitmap(GdiBitmap source, const PictureInk& ink, bool keyedOnCyan) override {
        if (!Alive(source, "InkBitmap")) return {};
        inks.push_back({ink, keyedOnCyan});
        const GdiBitmap inked = NewBitmap(bitmaps_[source.raw]);  // at the set's own size
        inkOf_[inked.raw] = ink;
        return inked;
    }
    void DeleteBitmap(GdiBitmap bitmap) override {
        if (!Alive(bitmap, "DeleteBitmap")) return;
        for (const auto& selected : selections_) {
            if (selected.second == bitmap.raw) Misuse("DeleteBitmap of a selected bitmap");
        }
        if (shownElsewhere_ != nullptr && shownElsewhere_->count(bitmap.raw) != 0) {
            Misuse("DeleteBitmap of the bitmap a control still shows");
        }
        bitmaps_.erase(bitmap.raw);
        sizes_.erase(bitmap.raw);
        inkOf_.erase(bitmap.raw);
    }
    GdiDc CreateCompatibleDc(GdiDc) override {
        if (failCreateDc) return {};
        void* dc = NextHandle();
        dcs_.insert(dc);
        return GdiDc{dc};
    }
    void DeleteDc(GdiDc dc) override {
        if (dcs_.erase(dc.raw) == 0) Misuse("DeleteDc of an unknown DC");
        if (selections_.erase(dc.raw) != 0) Misuse("DeleteDc with a bitmap still selected");
    }
    GdiBitmap SelectBitmap(GdiDc dc, GdiBitmap bitmap) override {
        if (failSelect) return {};
        if (dcs_.count(dc.raw) == 0) {
            Misuse("SelectBitmap into an unknown DC");
            return {};
        }
        if (bitmap.raw == &stockBitmap_) {  // the DC's own bitmap comes back
            selections_.erase(dc.raw);
            return Previous(dc);
        }
        if (!Alive(bitmap, "SelectBitmap")) return {};
        const GdiBitmap previous = Previous(dc);
        selections_[dc.raw] = bitmap.raw;
        return previous;
    }
    bool TransparentBlt(GdiDc target, int x, int y, int width, int height, GdiDc source,
                        int sourceX, int sourceY, int sourceWidth, int sourceHeight,
                        GdiColor transparent) override {
        const auto selected = selections_.find(source.raw);
        const int id = selected == selections_.end() ? 0 : bitmaps_[selected->second];
        draws.push_back({target, x, y, width, height, source, sourceX, sourceY, sourceWidth,
                         sourceHeight, transparent, id});
        return true;
    }

    // A bitmap made by someone else in the process (a control's copy, the template's picture).
    GdiBitmap NewBitmap(int resourceId) {
        void* bitmap = NextHandle();
        bitmaps_[bitmap] = resourceId;
        return GdiBitmap{bitmap};
    }
    int ResourceIdOf(GdiBitmap bitmap) const {
        const auto found = bitmaps_.find(bitmap.raw);
        return found == bitmaps_.end() ? 0 : found->second;
    }
    bool IsAlive(GdiBitmap bitmap) const { return bitmaps_.count(bitmap.raw) != 0; }
    // The ink a bitmap was made in by InkBitmap; none for one in its own colours.
    std::optional<PictureInk> InkOf(GdiBitmap bitmap) const {
        const auto found = inkOf_.find(bitmap.raw);
        return found == inkOf_.end() ? std::nullopt : std::optional<PictureInk>(found->second);
    }
    void WatchShown(const std::set<void*>* shown) { shownElsewhere_ = shown; }

    std::size_t LiveBitmaps() const { return bitmaps_.size(); }
    std::size_t LiveDcs() const { return dcs_.size(); }
    std::size_t SelectedObjects() const { return selections_.size(); }
    const std::vector<std::string>& Misuses() const { return misuses_; }

    std::vector<DrawCall> draws;
    struct ScaleCall {
        int sourceId, width, height;
        bool keyed;
    };
    std::vector<ScaleCall> scales;
    std::vector<std::pair<PictureInk, bool>> inks;  // each InkBitmap's ink, and whether keyed

private:
    void* NextHandle() { return reinterpret_cast<void*>(nextHandle_++ * 16); }
    bool Alive(GdiBitmap bitmap, const char* call) {
        if (bitmaps_.count(bitmap.raw) != 0) return true;
        Misuse(std::string(call) + " of a bitmap that isn't alive");
        return false;
    }
    GdiBitmap Previous(GdiDc dc) {
        const auto selected = selections_.find(dc.raw);
        return GdiBitmap{selected == selections_.end() ? &stockBitmap_ : selected->second};
    }
    void Misuse(std::string what) { misuses_.push_back(std::move(what)); }

    std::uintptr_t nextHandle_ = 1;
    char stockBitmap_ = 0;          // stands for the 1x1 bitmap every new memory DC holds
    std::map<void*, int> bitmaps_;  // alive -> resource id (0: not from a resource)
    std::map<void*, std::pair<int, int>> sizes_;  // scaled copies -> their size
    std::map<void*, PictureInk> inkOf_;           // inked copies -> their ink
    std::set<void*> dcs_;
    std::map<void*, void*> selections_;  // DC -> bitmap selected other than its own
    const std::set<void*>* shownElsewhere_ = nullptr;
    std::vector<std::string> misuses_;
};

// The static control 1010 as the animation sees it.
class FakeStaticPicture : public PictureControl {
public:
    // The dialog template's picture: bitmap 145, loaded by the control itself.
    FakeStaticPicture(CountingGdi& gdi, bool keepsCopies) : gdi_(gdi), keepsCopies_(keepsCopies) {
        held_ = gdi_.NewBitmap(145);
        Track();
        gdi_.WatchShown(&heldSet_);
    }
    ~FakeStaticPicture() override { gdi_.WatchShown(nullptr); }

    GdiBitmap SetImage(GdiBitmap bitmap) override {
        const GdiBitmap previous = held_;
        if (bitmap && !gdi_.IsAlive(bitmap)) misuses.push_back("SetImage of a dead bitmap");
        const int id = gdi_.ResourceIdOf(bitmap);
        held_ = (bitmap && keepsCopies_) ? gdi_.NewBitmap(id) : bitmap;
        if (bitmap) shown.push_back(id);
        Track();
        return previous;
    }

    // Resource ids of the pictures shown, in order.
    std::vector<int> shown;
    std::vector<std::string> misuses;
    GdiBitmap Held() const { return held_; }

private:
    void Track() {
        heldSet_.clear();
        if (held_) heldSet_.insert(held_.raw);
    }

    CountingGdi& gdi_;
    bool keepsCopies_;
    GdiBitmap held_;
    std::set<void*> heldSet_;
};

}  // namespace reflasher::fakes
