#include "framework/wait_cursor.h"

CWaitCursor::CWaitCursor(HWND window) {
    // What waits for a paint in the whole window, its pages and controls
    // included: the part a closed box uncovered lies across all of them.
    if (HWND top = window ? ::GetAncestor(window, GA_ROOT) : nullptr)
        ::RedrawWindow(top, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    m_previous = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
}

CWaitCursor::~CWaitCursor() {
    ::SetCursor(m_previous);
}
