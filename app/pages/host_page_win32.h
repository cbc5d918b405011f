// The device picker, page 4 of the main window: up to three mouse tiles with
// arrows when there are more, a click on a tile to connect, and every two
// seconds the receivers looked at again. At start-up it may open the firmware
// update dialog, which it runs. Its decisions are the HostPageModel's.
#pragma once

#include <windows.h>

#include "app/pages/host_page_model.h"
#include "app/pages/main_page_win32.h"
#include "app/pages/page_host.h"
#include "skin/push_buttons_win32.h"

constexpr UINT UWM_OPEN_FW_UPDATE = 0x708;
constexpr UINT_PTR TIMER_DEVICE_SCAN = 6;
constexpr UINT DEVICE_SCAN_INTERVAL_MS = 2000;

class CHostDlg : public CMainPage {
public:
    CHostDlg(const CBitmap* mainBackground, PageHost& host);

    // After a device arrival or removal: from the first entry again.
    void RebuildTiles();
    void RefreshTiles();

    const HostPageModel& Model() const { return m_model; }

    // Five as the page always had them; only the first three are made and used.
    CDeviceBitmap m_tiles[5];
    CBitmapBtn m_leftArrow;
    CBitmapBtn m_rightArrow;

protected:
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void CreateControls();
    void ShowTiles(bool atCreation);
    void OnTileClick(int k);
    void OnScanTick();
    LRESULT OnOpenFwUpdate();
    void OnClose();

    PageHost& m_host;
    HostPageModel m_model;
};
