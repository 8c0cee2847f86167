#pragma once
// The document window inside the main frame: the document, its channel view
// and its radio link. Closing it only hides it: all three stay alive and
// "Channel Information" brings the same, unsaved contents back.
#include <QMdiSubWindow>
#include <QPointer>

class CLinkController;
class CProgramDoc;
class CProgramView;

class CChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    // Takes ownership of doc; creates the channel view as the frame's widget,
    // and the window's link.
    explicit CChildFrame(CProgramDoc* doc, QWidget* parent = nullptr);
    ~CChildFrame() override;

    CProgramDoc* GetDocument() const { return m_pDocument; }
    CProgramView* GetView() const { return m_pView; }
    CLinkController* GetLink() const { return m_pLink; }

    // Size and place a new document window is created with, before it fits its form.
    static constexpr int kWidth = 1600;
    static constexpr int kHeight = 1200;

    // The window shrinks to its form; when the form is larger than the work
    // area it is maximized instead, so it follows the main window's size and
    // the grid's scroll bars stay in reach. Kept so whenever the area changes.
    void FitToArea();
    // The window's size around its form, when not maximized.
    QSize FormFrameSize() const;
    // The document's title, with "*" while it has unsaved changes, and its
    // number when another window has the same title: "Channel Information (2)".
    void UpdateCaption();
    // 1 (shown as no number) unless another window of the same title came first.
    int TitleNumber() const { return m_nTitleNumber; }
    void SetTitleNumber(int number);

signals:
    // Closed by the user: hidden, the document kept.
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Refit();
    void FocusGridLater();
    // "title.ico" from the current directory; without it the program's own icon.
    void LoadIcon();

    CProgramDoc* m_pDocument;
    CProgramView* m_pView;
    CLinkController* m_pLink;
    QPointer<QWidget> m_pWatchedArea;
    mutable QSize m_formFrameSize;
    bool m_bFitMaximized = false;  // maximized by FitToArea, not by the user
    bool m_bFitting = false;
    int m_nTitleNumber = 1;
};
