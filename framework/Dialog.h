#pragma once
// Dialogs from resource templates, modal (a loop of our own that gives PreTranslateMessage its
// turn) or modeless. After initialisation the window procedure is ours (the dialog is subclassed),
// so handlers can run the default dialog processing first and act after it.
#include "framework/Window.h"

namespace fx {

// Binds control objects to template items (and, later, moves plain values in and out).
class CDataExchange
{
public:
    CDataExchange(HWND dialog, bool saveAndValidate) : m_dialog(dialog), m_save(saveAndValidate) {}
    HWND Dialog() const { return m_dialog; }
    bool IsSaving() const { return m_save; }

private:
    HWND m_dialog;  // not owned
    bool m_save;
};

// Subclasses the template item `id` with `control` the first time; later exchanges keep it.
bool DDX_Control(CDataExchange& exchange, int id, CWnd& control);

class CDialog : public CWnd
{
public:
    explicit CDialog(UINT templateId, HWND parent = nullptr) : m_templateId(templateId), m_parent(parent) {}

    // Runs the dialog modally: the owner (the parent given, else the thread's active window, else
    // the application's main window) is disabled until the dialog ends. Returns the value given to
    // EndDialog, or -1 when the dialog could not be created.
    INT_PTR DoModal();
    // Creates the dialog modeless, owned by `owner` (a popup template) or its child.
    bool Create(HWND owner);
    // Ends a modal run with `result`; the loop returns after the current message.
    void EndDialog(INT_PTR result);

    UINT TemplateId() const { return m_templateId; }
    bool UpdateData(bool saveAndValidate);
    bool PreTranslateMessage(MSG& message) override;

    // Centres the window over its owner, or over the work area when the owner is hidden or absent.
    static void CenterWindow(HWND window);

protected:
    virtual void DoDataExchange(CDataExchange& exchange) {}
    // Called at WM_INITDIALOG after the window is bound; the base runs the data exchange.
    virtual BOOL OnInitDialog();
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    bool ProcessMessage(Message& message) override;

private:
    static INT_PTR CALLBACK StartDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND ResolveOwner() const;
    bool RunModalLoop();

    UINT m_templateId;
    HWND m_parent;  // not owned
    bool m_modal = false;
    bool m_endModal = false;
    INT_PTR m_result = -1;
};

}  // namespace fx
