// The main dialog's clock panel on the simulated board, with the user's moves on it: sliders,
// "&Apply" answered in the confirm dialog, the presets.
#pragma once

#include <functional>
#include <string>

#include "app/clock/clock_confirm_dlg.h"
#include "tests/shell/shell_fixture.h"
#include "tests/support/pll_poke.h"
#include "tests/support/user_input.h"

namespace kesttest {

inline uint32_t EngineFeedback(uint32_t word) {
    return (word >> 16) & 0xFF;
}
inline uint32_t MemoryFeedback(uint32_t word) {
    return (word >> 8) & 0xFF;
}

class ClockPanelTest : public ShellTest {
protected:
    void TearDown() override {
        SetModalDialogHook({});
        ShellTest::TearDown();
    }

    CMonitorDlg* Open(const std::string& board, int engine, int memory) {
        Load(board);
        m_dir.Write("kest.txt", Le(engine, memory));
        MakeFrame();
        m_frame->ShowConfigDialog();
        m_dlg = m_frame->m_pConfigDlg;
        return m_dlg;
    }
    CString Text(int id) const {
        CString s;
        m_dlg->GetDlgItemText(id, s);
        return s;
    }
    // Moves a slider as the user does: the control's position, then its scroll message.
    void Slide(int id, int pos) {
        auto* slider = static_cast<CSliderCtrl*>(m_dlg->GetDlgItem(id));
        slider->SetPos(pos);
        m_dlg->SendMessage(WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, static_cast<unsigned>(pos)),
                           reinterpret_cast<LPARAM>(slider->GetSafeHwnd()));
    }
    // "&Apply" clicked, the confirm dialog answered by `answer` once it is on screen; the
    // summary it was given.
    std::string Apply(const std::function<void(CClockConfirmDlg&)>& answer) {
        std::string summary;
        int shown = 0;
        SetModalDialogHook([&](CDialog& d) {
            auto& confirm = dynamic_cast<CClockConfirmDlg&>(d);
            ++shown;
            summary = confirm.m_strSummary.GetStdString();
            answer(confirm);
        });
        m_dlg->SendMessage(WM_COMMAND, MAKEWPARAM(1006, BN_CLICKED),
                           reinterpret_cast<LPARAM>(m_dlg->GetDlgItemHwnd(1006)));
        SetModalDialogHook({});
        EXPECT_LE(shown, 1);
        return summary;
    }
    void ChoosePreset(int index) {
        m_dlg->m_cbPreset.SetCurSel(index);
        m_dlg->SendMessage(WM_COMMAND, MAKEWPARAM(1019, CBN_SELCHANGE),
                           reinterpret_cast<LPARAM>(m_dlg->m_cbPreset.GetSafeHwnd()));
    }
    // Puts a divider word into the board the way any program of the machine can.
    void ForceWord(uint32_t word) {
        WriteClockDividers(word);
        ASSERT_EQ(PllWord(), word);
    }

    static void PressOk(CClockConfirmDlg& d) { user::Click(d.GetDlgItemHwnd(IDOK)); }
    static void PressEscape(CClockConfirmDlg& d) { user::Key(d.GetSafeHwnd(), user::kEscape); }
    static CString Mhz(int value) { return CString(std::to_string(value) + "MHz"); }

    // A way out taken while the confirm dialog counts down: the old word goes back before the
    // exit path stores what the hardware holds.
    void ExpectExitRevertsBeforeStoring(const std::function<void()>& exit) {
        Open("9800pro", 380, 340);
        const uint32_t old = PllWord();
        Slide(1004, 450);
        Apply([&](CClockConfirmDlg&) { exit(); });
        EXPECT_EQ(PllWord(), old);
        RunPostedEvents();
        EXPECT_EQ(m_frame->GetSafeHwnd(), nullptr);
        EXPECT_EQ(PllWord(), old);
        EXPECT_EQ(KestTxt(), Le(380, 341));  // as the board holds it, unsnapped
    }

    CMonitorDlg* m_dlg = nullptr;
};

}  // namespace kesttest
