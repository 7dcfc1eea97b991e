#pragma once
// The application object: GDI+, the common controls and the rich edit library, then the shell
// frame's modal run, which is the life of the program.
#include "framework/Application.h"

class CTessaroQuorlinApp : public fx::CWinApp
{
public:
    // Whether the library search was restricted before anything was loaded: without it the program
    // shows its start-up failure and ends.
    explicit CTessaroQuorlinApp(bool librarySearchRestricted) : m_bLibrarySearchRestricted(librarySearchRestricted) {}

protected:
    int InitInstance() override;

private:
    bool m_bLibrarySearchRestricted;
};
