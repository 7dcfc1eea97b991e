#include "app/QuorlinApp.h"

#include "app/QuorlinDlg.h"
#include "app/TessaroQuorlinDlg.h"
#include "dialogs/PromptDlg.h"
#include "framework/Scale.h"
#include "framework/base/LibraryLoading.h"

int CTessaroQuorlinApp::InitInstance()
{
    // A library found by name could come from the program's folder: load nothing, say so and end.
    // Nothing has been changed yet, and the frame is never made, so the folder stays. (No test bed
    // can make the restriction fail; Windows 10 has every call it makes.)
    if (!m_bLibrarySearchRestricted) {
        ShowMessagePrompt(kInitFailedText, fx::ScreenScaleFactor());
        return 0;
    }
    // The usage agreement viewer's RichEdit20W class; loaded from the system folder by full path.
    fx::LoadSystemLibrary(L"riched20.dll");
    CTessaroQuorlinDlg frame;
    frame.DoModal();
    return 0;
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    // The free-space probe of every drive must not raise the system's "no disk" box for an empty
    // card reader or disc drive: such a failure is the program's to judge.
    SetErrorMode(SEM_FAILCRITICALERRORS);
    // Before anything is loaded by name: the program's folder may hold planted libraries.
    const bool restricted = fx::RestrictLibrarySearch();
    static CTessaroQuorlinApp application(restricted);
    return application.Run();
}
