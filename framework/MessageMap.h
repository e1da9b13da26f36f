// A message map: a static table of (message, control id, notification) -> member
// handler per dialog class, chained to the base class's table. The dialog
// procedure walks the chain, most derived first, and calls the first match.
//
// Entries are made by the helpers in namespace msgmap, which check each
// handler's signature at compile time, e.g.
//   msgmap::Command<&CMyDlg::OnBrowse>(IDC_BROWSE, BN_CLICKED)
#pragma once

#include <windows.h>

#include <cstddef>

class CDialog;

struct MessageMapEntry {
    UINT message;
    UINT controlId;     // WM_COMMAND only: the control's id (LOWORD of wParam)
    UINT notification;  // WM_COMMAND only: the notification code (HIWORD of wParam)
    INT_PTR (*invoke)(CDialog& target, WPARAM wParam, LPARAM lParam);
};

struct MessageMap {
    const MessageMap* base;  // null at the root
    const MessageMapEntry* entries;
    std::size_t count;

    // The first entry for this message in this map or its bases, or null.
    const MessageMapEntry* Find(UINT message, WPARAM wParam) const;
};

namespace msgmap {
namespace detail {

template <class Member>
struct ClassOf;
template <class C, class R, class... Args>
struct ClassOf<R (C::*)(Args...)> {
    using type = C;
};
template <auto Handler>
using Target = typename ClassOf<decltype(Handler)>::type;

template <auto Handler>
Target<Handler>& Self(CDialog& dialog) {
    return static_cast<Target<Handler>&>(dialog);
}

}  // namespace detail

// void Handler(): a control's notification, such as BN_CLICKED or CBN_SELCHANGE.
template <auto Handler>
constexpr MessageMapEntry Command(UINT controlId, UINT notification) {
    return {WM_COMMAND, controlId, notification, [](CDialog& d, WPARAM, LPARAM) -> INT_PTR {
                (detail::Self<Handler>(d).*Handler)();
                return 0;
            }};
}

// void Handler(UINT command, LPARAM lParam)
template <auto Handler>
constexpr MessageMapEntry SysCommand() {
    return {WM_SYSCOMMAND, 0, 0, [](CDialog& d, WPARAM w, LPARAM l) -> INT_PTR {
                (detail::Self<Handler>(d).*Handler)(static_cast<UINT>(w), l);
                return 0;
            }};
}

// void Handler()
template <auto Handler>
constexpr MessageMapEntry Paint() {
    return {WM_PAINT, 0, 0, [](CDialog& d, WPARAM, LPARAM) -> INT_PTR {
                (detail::Self<Handler>(d).*Handler)();
                return 0;
            }};
}

// HCURSOR Handler(): the picture shown while the minimised window is dragged.
template <auto Handler>
constexpr MessageMapEntry QueryDragIcon() {
    return {WM_QUERYDRAGICON, 0, 0, [](CDialog& d, WPARAM, LPARAM) -> INT_PTR {
                return reinterpret_cast<INT_PTR>((detail::Self<Handler>(d).*Handler)());
            }};
}

// void Handler(int controlId, DRAWITEMSTRUCT* item)
template <auto Handler>
constexpr MessageMapEntry DrawItem() {
    return {WM_DRAWITEM, 0, 0, [](CDialog& d, WPARAM w, LPARAM l) -> INT_PTR {
                (detail::Self<Handler>(d).*Handler)(static_cast<int>(w),
                                                    reinterpret_cast<DRAWITEMSTRUCT*>(l));
                return TRUE;
            }};
}

// LRESULT Handler(WPARAM, LPARAM): any other message, result as the message defines it.
template <auto Handler>
constexpr MessageMapEntry Message(UINT message) {
    return {message, 0, 0, [](CDialog& d, WPARAM w, LPARAM l) -> INT_PTR {
                return (detail::Self<Handler>(d).*Handler)(w, l);
            }};
}

}  // namespace msgmap
