#pragma once
// The channel window: band edit boxes above the channel grid, the overlay
// cell editors, and the commands of the document window.
#include <QString>
#include <QWidget>

class CProgramDoc;

class CProgramView : public QWidget {
    Q_OBJECT
public:
    explicit CProgramView(CProgramDoc* doc, QWidget* parent = nullptr);
    ~CProgramView() override;

    CProgramDoc* GetDocument() const { return m_pDocument; }

    void OnInitialUpdate();
    void ImageToGrid();
    void GridToImage();
    void CommitEditor();
    void OnLeaveCellGrid();

public slots:
    void OnRead();
    void OnWrite();
    void OnComSetup();
    void OnLanguage();
    void OnFilePrint();
    void OnFilePrintDirect();
    void OnFilePrintPreview();

public:
    QString m_strPort = QStringLiteral("COM1");
    bool m_bWrite = false;

private:
    CProgramDoc* m_pDocument;
    bool m_bFirstUpdate = true;
};
