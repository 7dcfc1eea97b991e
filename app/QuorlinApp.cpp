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
    // Before anything is loaded by name: the program's folder may hold planted libraries.
    fx::RestrictLibrarySearch();
    static CTessaroQuorlinApp application;
    return application.Run();
}
