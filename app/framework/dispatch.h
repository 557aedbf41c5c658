// The messages being handled, innermost first, each on the stack of the call that delivers it.
// A handler may destroy its window object (PostNcDestroy deleting it): the delivering call then
// only pops its own frame and never touches the object again. For the back ends' delivery.
#pragma once

#include "app/framework/wnd.h"

struct DispatchFrame {
    const CWnd* pWnd;
    CWnd::CurrentMessage msg;
    DispatchFrame* pOuter;
};

class DispatchScope {
public:
    DispatchScope(const CWnd* pWnd, UINT message, WPARAM wParam, LPARAM lParam);
    ~DispatchScope();
    DispatchScope(const DispatchScope&) = delete;
    DispatchScope& operator=(const DispatchScope&) = delete;
    const CWnd::CurrentMessage& Message() const { return m_frame.msg; }

private:
    DispatchFrame m_frame;
};
