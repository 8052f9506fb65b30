// The seam of message boxes and common dialogs: an installed answerer sees every question the
// program asks and answers it; without one, the system's dialogs come up (answered here by
// pressing their buttons from a timer of the asking thread).
#include "platform/CommonDialogs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>
#include "HvTest.h"

namespace {

class CAnswerer : public ICommonDialogs
{
public:
    std::vector<std::wstring> asked;
    FileDialogRequest lastFile;
    ColorDialogRequest lastColor;
    int messageAnswer = IDNO;
    std::wstring fileAnswer;  // empty: cancel
    bool colorAnswer = false;

    int ShowMessage(HWND, const std::wstring& text, const std::wstring& caption, UINT type) override
    {
        asked.push_back(L"message:" + caption + L":" + text + L":" + std::to_wstring(type));
        return messageAnswer;
    }
    bool PickFile(const FileDialogRequest& request, std::wstring& path) override
    {
        asked.push_back(request.save ? L"save" : L"open");
        lastFile = request;
        if (fileAnswer.empty())
            return false;
        path = fileAnswer;
        return true;
    }
    bool PickColor(const ColorDialogRequest& request, COLORREF& colour) override
    {
        asked.push_back(L"color");
        lastColor = request;
        if (colorAnswer)
            colour = RGB(10, 20, 30);
        return colorAnswer;
    }
};

class InstalledFor
{
public:
    explicit InstalledFor(ICommonDialogs* dialogs) : m_previous(SetCommonDialogs(dialogs)) {}
    ~InstalledFor() { SetCommonDialogs(m_previous); }

private:
    ICommonDialogs* m_previous;
};

// Presses buttons of the system dialogs of this thread from inside their modal loops
// (hvtest::ModalScript); a dialog left open is cancelled.
class DialogPresser : public hvtest::ModalScript
{
public:
    DialogPresser()
        : hvtest::ModalScript(ShownDialog, [](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); })
    {
    }

    // The next dialog shown gets its button pressed; pressedIn tells which dialog that was.
    void Press(int button)
    {
        pressedIn = nullptr;
        ExpectOnce([this, button](HWND dialog) {
            pressedIn = dialog;
            const HWND control = GetDlgItem(dialog, button);
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(control));
        });
    }

    HWND pressedIn = nullptr;

private:
    static HWND ShownDialog()
    {
        return hvtest::ThreadWindow([](HWND hwnd) { return hvtest::ClassNameOf(hwnd) == L"#32770"; });
    }
};

} // namespace

TEST(CommonDialogs, AnInstalledAnswererAnswersEveryQuestion)
{
    CAnswerer answerer;
    InstalledFor installed(&answerer);
    EXPECT_EQ(&CommonDialogs(), &answerer);

    EXPECT_EQ(ShowMessageBox(nullptr, L"Delete the profile?", L"Profiles", MB_YESNO), IDNO);
    answerer.messageAnswer = IDYES;
    EXPECT_EQ(ShowMessageBox(nullptr, L"Again?", nullptr, MB_YESNO | MB_ICONQUESTION), IDYES);

    // A cancelled open dialog keeps no path; a confirmed save dialog gives the answer's parts.
    CFileDialog open(true, L"hvm", nullptr, 0, L"Macros (*.hvm)|*.hvm|");
    EXPECT_EQ(open.DoModal(), IDCANCEL);
    EXPECT_TRUE(open.GetPathName().empty());
    EXPECT_FALSE(answerer.lastFile.save);
    EXPECT_EQ(answerer.lastFile.filter, L"Macros (*.hvm)|*.hvm|");
    EXPECT_EQ(answerer.lastFile.defaultExtension, L"hvm");

    answerer.fileAnswer = L"C:\\profiles\\Work.hvp";
    CFileDialog save(false, L"hvp", L"Work", OFN_PATHMUSTEXIST, L"Profiles (*.hvp)|*.hvp|");
    save.m_request.title = L"Export";
    EXPECT_EQ(save.DoModal(), IDOK);
    EXPECT_TRUE(answerer.lastFile.save);
    EXPECT_EQ(answerer.lastFile.fileName, L"Work");
    EXPECT_EQ(answerer.lastFile.title, L"Export");
    EXPECT_EQ(answerer.lastFile.flags, static_cast<DWORD>(OFN_PATHMUSTEXIST));
    EXPECT_EQ(save.GetPathName(), L"C:\\profiles\\Work.hvp");
    EXPECT_EQ(save.GetFileName(), L"Work.hvp");
    EXPECT_EQ(save.GetFileExt(), L"hvp");

    // The colour dialog offers its initial colour and its own custom colours.
    CColorDialog colour(RGB(1, 2, 3));
    EXPECT_EQ(colour.DoModal(), IDCANCEL);
    EXPECT_EQ(colour.GetColor(), RGB(1, 2, 3));
    EXPECT_EQ(answerer.lastColor.initial, RGB(1, 2, 3));
    EXPECT_EQ(answerer.lastColor.customColors, colour.GetCustomColors());
    answerer.colorAnswer = true;
    EXPECT_EQ(colour.DoModal(), IDOK);
    EXPECT_EQ(colour.GetColor(), RGB(10, 20, 30));

    const std::vector<std::wstring> expected = {
        L"message:Profiles:Delete the profile?:" + std::to_wstring(MB_YESNO),
        L"message::Again?:" + std::to_wstring(MB_YESNO | MB_ICONQUESTION),
        L"open", L"save", L"color", L"color"};
    EXPECT_EQ(answerer.asked, expected);

    // Uninstalled, the system's dialogs are back.
    EXPECT_EQ(SetCommonDialogs(nullptr), &answerer);
    EXPECT_EQ(&CommonDialogs(), &SystemCommonDialogs());
    SetCommonDialogs(&answerer);
}

TEST(CommonDialogs, WithoutAnswererTheSystemDialogsComeUp)
{
    ASSERT_EQ(&CommonDialogs(), &SystemCommonDialogs());
    hvtest::ScopedWindow owner(hvtest::CreateTestWindow(200, 100));

    DialogPresser presser;
    presser.Press(IDYES);
    EXPECT_EQ(ShowMessageBox(owner, L"A question", L"System", MB_YESNO), IDYES);
    EXPECT_NE(presser.pressedIn, nullptr);

    // The colour dialog confirmed as it opened gives back the initial colour.
    presser.Press(IDOK);
    CColorDialog colour(RGB(0, 128, 255), CC_FULLOPEN, owner);
    EXPECT_EQ(colour.DoModal(), IDOK);
    EXPECT_NE(presser.pressedIn, nullptr);
    EXPECT_EQ(colour.GetColor(), RGB(0, 128, 255));

    // A cancelled open dialog gives no path.
    presser.Press(IDCANCEL);
    CFileDialog open(true, L"hvm", nullptr, 0, L"Macros (*.hvm)|*.hvm|", owner);
    EXPECT_EQ(open.DoModal(), IDCANCEL);
    EXPECT_NE(presser.pressedIn, nullptr);
    EXPECT_TRUE(open.GetPathName().empty());
    EXPECT_TRUE(presser.Done());
}
