#pragma once
// The document window inside the main frame. Closing it only hides it: the
// document and its channel view stay alive and "Channel Information" brings
// the same, unsaved contents back.
#include <QMdiSubWindow>

class CProgramDoc;
class CProgramView;

class CChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    // Takes ownership of doc; creates the channel view as the frame's widget.
    explicit CChildFrame(CProgramDoc* doc, QWidget* parent = nullptr);
    ~CChildFrame() override;

    CProgramDoc* GetDocument() const { return m_pDocument; }
    CProgramView* GetView() const { return m_pView; }

    // Size and place of a new document window.
    static constexpr int kWidth = 1600;
    static constexpr int kHeight = 1200;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CProgramDoc* m_pDocument;
    CProgramView* m_pView;
};
