#include "editor/ProgramView.h"

#include "radio/ProgramDoc.h"

// Minimal view until the channel grid lands: it only holds the document.
CProgramView::CProgramView(CProgramDoc* doc, QWidget* parent) : QWidget(parent), m_pDocument(doc)
{
    if (doc)
        doc->SetView(this);
}

CProgramView::~CProgramView()
{
    if (m_pDocument && m_pDocument->GetView() == this)
        m_pDocument->SetView(nullptr);
}

void CProgramView::OnInitialUpdate() { m_bFirstUpdate = false; }
void CProgramView::ImageToGrid() {}
void CProgramView::GridToImage() {}
void CProgramView::CommitEditor() {}
void CProgramView::OnLeaveCellGrid() {}
void CProgramView::OnRead() {}
void CProgramView::OnWrite() {}
void CProgramView::OnComSetup() {}
void CProgramView::OnLanguage() {}
void CProgramView::OnFilePrint() {}
void CProgramView::OnFilePrintDirect() {}
void CProgramView::OnFilePrintPreview() {}
