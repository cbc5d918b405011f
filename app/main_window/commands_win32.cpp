// The main window's commands: its buttons and the tray menu's rows, the page
// icons, export, import and reset of the settings, and the language and
// profile popups. The decisions live in the plain layout and commands;
// this file turns clicks and results into calls on them.
#include "app/file_dialogs_win32.h"
#include "app/main_window/quorvel_dlg_win32.h"
#include "device/device_state.h"
#include "device/file_system.h"
#include "device/keyboard_hook.h"
#include "device/profiles.h"
#include "device/user_notice_win32.h"
#include "framework/strings.h"
#include "text/ui_texts.h"

// One line per control, told apart by its window alone as the buttons are
// (a double click's second press is a command too); the tray menu's rows come
// as commands with no window.
void CQuorvelDlg::ListCommands() {
    m_controls.MenuCommand(ID_TRAY_EXIT, [this] { OnTrayExit(); });
    m_controls.MenuCommand(ID_TRAY_SHOW, [this] { OnTrayShow(); });
    const struct {
        const CWnd& control;
        MainCommand command;
    } table[] = {
        {m_btnExit, MainCommand::Exit},
        {m_pageButtons[PAGE_DEVICE_PICKER], MainCommand::DevicePicker},
        {m_btnMinimise, MainCommand::Minimise},
        {m_pageButtons[PAGE_BUTTONS], MainCommand::ButtonsPage},
        {m_pageButtons[PAGE_LED], MainCommand::LedPage},
        {m_pageButtons[PAGE_ADVANCED], MainCommand::AdvancedPage},
        {m_pageButtons[PAGE_MACRO], MainCommand::MacroPage},
        {m_btnProfile, MainCommand::ProfileMenu},
        {m_btnImport, MainCommand::Import},
        {m_btnExport, MainCommand::Export},
        {m_btnReset, MainCommand::Reset},
        {m_btnLanguage, MainCommand::LanguageMenu},
    };
    for (const auto& entry : table) {
        const MainCommand command = entry.command;
        m_controls.Command(entry.control, [this, command] { RunCommand(command); });
    }
}

BOOL CQuorvelDlg::OnCommand(WPARAM wp, LPARAM lp) {
    if (m_controls.Dispatch(WM_COMMAND, wp, lp)) return TRUE;
    return CDialogEx::OnCommand(wp, lp);
}

void CQuorvelDlg::RunCommand(MainCommand command) {
    // Those controls are hidden while nothing is connected; a click that
    // still arrives does nothing.
    if (NeedsConnection(command) && g_isConnected == 0) return;
    switch (command) {
    case MainCommand::None:
        break;
    case MainCommand::Exit:
        PostMessage(WM_CLOSE);
        StopMacroRecording();
        ResetKeyboardHook();
        break;
    case MainCommand::Minimise:
        ShowWindow(SW_MINIMIZE);
        StopMacroRecording();
        ResetKeyboardHook();
        break;
    case MainCommand::DevicePicker:
    case MainCommand::ButtonsPage:
    case MainCommand::LedPage:
    case MainCommand::AdvancedPage:
    case MainCommand::MacroPage:
        GoToPageCommand(command);
        break;
    case MainCommand::ProfileMenu:
        ShowPopup(PopupKind::Profile, m_btnProfile);
        break;
    case MainCommand::Import:
        ImportSettings();
        break;
    case MainCommand::Export:
        ExportSettings();
        break;
    case MainCommand::Reset:
        ResetToDefaults();
        break;
    case MainCommand::LanguageMenu:
        ShowPopup(PopupKind::Language, m_btnLanguage);
        break;
    }
}

void CQuorvelDlg::GoToPageCommand(MainCommand command) {
    const int page = PageOfCommand(command);
    // The page already shown: a command that came twice changes nothing.
    if (page == m_curPage) return;
    if (StopsRecording(command)) StopMacroRecording();
    m_pageSwitch.GoTo(page);
    RefreshAllPages();
}

// ---- export, import, reset ----

std::optional<std::u16string> CQuorvelDlg::AskSettingsFile(bool save) {
    // The dialog runs a loop of its own below this handler: an exit waits for it.
    NestedLoopGuard guard(*this);
    std::optional<std::wstring> path =
        save ? AskSettingsFileToSave(m_hWnd) : AskSettingsFileToOpen(m_hWnd);
    if (!path) return std::nullopt;
    return ToU16(*path);
}

void CQuorvelDlg::ExportSettings() {
    std::optional<std::u16string> path = AskSettingsFile(true);
    if (!path) return;
    MessageBoxNotice notices(m_hWnd);
    RunExport(*path, notices);
}

void CQuorvelDlg::ImportSettings() {
    std::optional<std::u16string> path = AskSettingsFile(false);
    if (!path) return;
    MessageBoxNotice notices(m_hWnd);
    RunImport(*path, m_commandSide, notices);
}

void CQuorvelDlg::ResetToDefaults() {
    ::ResetToDefaults(m_commandSide);
}

void CQuorvelDlg::CommandSide::RefreshPages() { m_dlg.RefreshAllPages(); }

bool CQuorvelDlg::CommandSide::SyncRunning() { return m_dlg.SyncBusy(); }

WriteAllOutcome CQuorvelDlg::CommandSide::RunWriteAll() {
    if (!m_dlg.StartWriteAllWithProgress()) return WriteAllOutcome::NotStarted;
    return m_dlg.m_writeAllSent.load() != 0 ? WriteAllOutcome::Written : WriteAllOutcome::NotWritten;
}

// ---- popups ----

void CQuorvelDlg::ShowPopup(PopupKind kind, const CWnd& opener) {
    // Opening one closes the other: at most one popup is open.
    m_popup.Open(kind, *this, PopupMenuSlot::TopLeft(kind, opener.GetWindowRect()));
}

std::optional<uint32_t> CQuorvelDlg::TakeMenuResult(WPARAM wp, LPARAM lp) {
    if (wp == kMenuResultAlways) {
        m_popup.Close();
        return uint32_t(lp);
    }
    // Only the popup this window opened reports here; its close without a
    // choice (0) takes nothing.
    return m_popup.TakeResult(lp);
}

LRESULT CQuorvelDlg::OnLanguageMenuResult(WPARAM wp, LPARAM lp) {
    std::optional<uint32_t> value = TakeMenuResult(wp, lp);
    if (!value) return 0;
    std::optional<LanguageMenuChoice> choice = LanguageMenuChoiceFor(*value, ProgramFolder());
    if (!choice) return 0;
    g_languageIndex = choice->language;
    if (!choice->file.empty()) LoadLanguageFile(choice->file);
    WriteLanguageSetting(choice->language);
    PostMessage(UWM_REFRESH_PAGES);
    return 0;
}

LRESULT CQuorvelDlg::OnProfileMenuResult(WPARAM wp, LPARAM lp) {
    std::optional<uint32_t> value = TakeMenuResult(wp, lp);
    if (!value) return 0;
    std::optional<int> number = ProfileMenuChoiceFor(*value);
    if (!number) return 0;
    // The caption shows the choice at once; the switch follows from the loop.
    m_connectionSide.ShowProfileNumber(*number);
    PostMessage(UWM_SWITCH_PROFILE, 0, *number);
    return 0;
}
