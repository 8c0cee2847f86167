// The channel view's editing commands: undo and redo, the clipboard, whole
// channels and filling. Every change ends as one undo step of the document.
#include <QComboBox>
#include <QLineEdit>
#include <QUndoStack>

#include "gui/editor/ProgramView.h"

void CProgramView::FlushEdits()
{
    CommitEditor(CommitTrigger::LeaveCell);
    RecordBandBoxes();
}

void CProgramView::RecordBandBoxes()
{
    const CEditSnapshot* last = m_pDocument ? m_pDocument->LastState() : nullptr;
    if (last && last->Bands() != BandBoxTexts())
        m_pDocument->RecordChange(tr("Band Limits"));
}

void CProgramView::OnEditUndo()
{
    if (!m_pDocument)
        return;
    // Text typed into an open editor is the latest change: only it goes.
    if (auto* edit = qobject_cast<QLineEdit*>(OpenEditor()); edit && edit->text() != m_grid.GetText()) {
        CancelEditor();
        return;
    }
    HideEditor(OpenEditor());
    RecordBandBoxes();
    m_pDocument->UndoStack()->undo();
}

void CProgramView::OnEditRedo()
{
    if (!m_pDocument)
        return;
    HideEditor(OpenEditor());
    m_pDocument->UndoStack()->redo();
}
