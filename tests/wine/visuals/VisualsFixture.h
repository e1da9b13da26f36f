// The end-to-end scenario fixture, with what the visual and keyboard checks add:
// the committed pictures, real keys and screen pictures from the host side, and
// where the dialog's controls are on the screen and which has the focus.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "tests/wine/e2e/ScenarioFixture.h"
#include "tests/wine/visuals/support/FrameTimeline.h"
#include "tests/wine/visuals/support/HostRequests.h"

namespace reflasher::visuals {

class VisualsFixture : public e2e::ScenarioFixture {
protected:
    void SetUp() override;

    // resources/<name> from the source tree.
    RgbImage CommittedPicture(const std::wstring& name);
    // Screen coordinates of a control's client area.
    RECT ControlArea(int id) const;
    // Pictures of control 1010 for `ms`, read as frames.
    FrameTimeline WatchBusyPicture(const std::wstring& name, unsigned ms);
    void StartWatchingBusyPicture(const std::wstring& name, unsigned ms);
    FrameTimeline FinishWatchingBusyPicture(const std::wstring& name, unsigned ms);
    // The control with the keyboard focus, by id (a combo box's edit field counts as
    // the combo box); 0 when the focus is elsewhere.
    int FocusedControl() const;
    bool PressKey(const std::string& key) { return host->PressKeys({key}); }

    std::unique_ptr<HostRequests> host;
    std::array<RgbImage, 4> frames;
};

}  // namespace reflasher::visuals
