#include "app/QuorlinApp.h"

#include "app/TessaroQuorlinDlg.h"
#include "framework/base/LibraryLoading.h"

int CTessaroQuorlinApp::InitInstance()
{
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
    fx::RestrictLibrarySearch();
    static CTessaroQuorlinApp application;
    return application.Run();
}
