#include "app/dialogs/macro_picker_dlg_win32.h"

#include "app/key_filter_win32.h"
#include "device/macro_store.h"
#include "framework/strings.h"
#include "res/resource.h"
#include "skin/skin_draw_win32.h"
#include "skin/skin_messages.h"
#include "skin/skin_scroll_wnd_win32.h"
#include "text/ui_texts.h"

namespace {

constexpr DWORD kListStyle =
    WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS | LBS_NOTIFY;
constexpr COLORREF kSelectedBackColor = 0x7F4622;
constexpr COLORREF kSelectedTextColor = 0xFFFFFF;
constexpr COLORREF kTextColor = 0xFFFFFF;
constexpr COLORREF kListBackColor = RGB(58, 62, 68);
constexpr RECT kListRect{20, 20, 330, 180};
constexpr RECT kOkRect{40, 185, 156, 211};
constexpr RECT kCancelRect{204, 185, 320, 211};

}  // namespace

CDlgMacroSet::CDlgMacroSet(CWnd* parent) : CSkinnedDialog(IDD_MACRO_PICKER_DIALOG, parent) {
    m_controls.Click(m_okButton, [this] { Confirm(); });
    m_controls.Click(m_cancelButton, [this] { EndDialog(IDCANCEL); });
}

BOOL CDlgMacroSet::OnInitDialog() {
    CSkinnedDialog::OnInitDialog();
    SetWindowText(L"QuorvelMacrosetDlg");
    BuildSkin();
    FillMacroList();
    return TRUE;
}

void CDlgMacroSet::BuildSkin() {
    LoadBackground(SkinImagePathW(L"msg_nr.png"));
    m_buttonImages.Load();
    m_buttonImages.CreateOkCancel(m_okButton, kOkRect, m_cancelButton, kCancelRect, *this, m_background);

    m_macroList.m_bkBrush.CreateSolidBrush(kListBackColor);
    m_macroList.Create(kListStyle, kListRect, this, MACRO_PICKER_LIST_ID);
    m_macroList.m_selBkColor = kSelectedBackColor;
    m_macroList.m_selTextColor = kSelectedTextColor;
    m_macroList.m_textColor = kTextColor;
    m_macroList.m_notifyWnd = m_hWnd;
    m_macroList.m_useNotifyWnd = 1;
    m_scrollSkin.Attach(static_cast<HBITMAP>(::LoadImageW(nullptr, SkinImagePathW(L"scrollbar.bmp").c_str(),
                                                          IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
    // Without its skin the list keeps the system's own bar.
    if (!m_scrollSkin.IsEmpty())
        CSkinScrollWnd::SkinWindow(&m_macroList, new CSkinScrollWnd, m_scrollSkin.GetSafeHandle());
    m_macroList.SetFocus();
}

void CDlgMacroSet::FillMacroList() {
    m_rows = BuildMacroPickerList(g_macroStore);
    m_macroList.SendMessage(WM_SETREDRAW, FALSE);
    m_macroList.SendMessage(LB_RESETCONTENT);
    // Each row is selected as it is added: the last one stays selected.
    for (const MacroPickerRow& row : m_rows.rows)
        m_macroList.AddItem(static_cast<int>(row.macroId), LIST_ITEM_PLAIN, ToWide(row.name));
    m_macroList.SendMessage(WM_SETREDRAW, TRUE);
    m_macroList.Invalidate(TRUE);
}

BOOL CDlgMacroSet::PreTranslateMessage(MSG* msg) {
    if (IsSwallowedDialogKey(msg)) return TRUE;
    return CSkinnedDialog::PreTranslateMessage(msg);
}

LRESULT CDlgMacroSet::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case UWM_LIST_SELCHANGE:
        return 1;  // the choice is read on OK
    case WM_MEASUREITEM:
        // The list measures each row it adds by asking the window it was made
        // in; since the scroll frame took its id, the framework would hand the
        // question to the frame.
        if (auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lp); mis->CtlID == MACRO_PICKER_LIST_ID) {
            mis->itemHeight = static_cast<UINT>(m_macroList.m_itemHeight);
            return TRUE;
        }
        break;
    default:
        break;
    }
    return CSkinnedDialog::WindowProc(msg, wp, lp);
}

void CDlgMacroSet::Confirm() {
    // The list is unsorted: its rows are m_rows in order.
    std::optional<uint32_t> chosen = MacroPickerChoice(m_rows, m_macroList.GetCurSel());
    m_macroId = chosen.value_or(0);
    // Nothing chosen is no choice: the page must not assign a macro the
    // mouse would never get.
    EndDialog(chosen ? IDOK : IDCANCEL);
}
