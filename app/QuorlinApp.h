#pragma once
// The application object: GDI+, the common controls and the rich edit library, then the shell
// frame's modal run, which is the life of the program.
#include "framework/Application.h"

class CTessaroQuorlinApp : public fx::CWinApp
{
protected:
    int InitInstance() override;
};
