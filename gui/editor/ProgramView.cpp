#include "gui/editor/ProgramView.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QMenu>
#include <QValidator>
#include <QVBoxLayout>

#include "gui/app/AppContext.h"
#include "core/app/Globals.h"
#include "core/app/IniFile.h"
#include "gui/app/MessageBox.h"
#include "gui/app/StringTable.h"
#include "gui/app/HelpAccess.h"
#include "gui/app/DialogUnits.h"
#include "core/radio/Bands.h"
#include "core/radio/ChannelCodec.h"
#include "core/radio/Document.h"
#include "core/radio/RadioCatalogue.h"
#include "gui/radio/ProgramDoc.h"

namespace {

// On the drop-down part of a list editor: the list it belongs to.
const char* const kListOfPopupProperty = "listOfPopup";
// The most characters the name editor takes for the name it was loaded with.
const char* const kNameLimitProperty = "nameLimit";

// Column width factors against the default width of column 0; the lock
// column is filled and edited but shown with width 0.
constexpr double kWidthFactor[kGridCols] = {0.43, 1.1, 1.1, 1.0, 1.0, 0.9, 0.9, 0.9, 0.9, 1.1};
constexpr unsigned long kFixedTextColor = 0x00F03200;  // RGB(0, 50, 240)
constexpr short kAlignCenter = 4;
constexpr short kAlignLeftTop = 0;

QString Q(const std::string& utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

// The name editor converts letters to upper case as they are typed and takes
// what a name can hold: at most six characters of 0-9, A-Z, - and _, or all of
// a longer name read from the radio. A key it refuses is said why beside it
// (ApplyNameRules), never dropped without a word.
class CNameValidator : public QValidator {
public:
    explicit CNameValidator(QLineEdit* edit) : QValidator(edit), m_pEdit(edit) {}
    State validate(QString& input, int&) const override
    {
        for (QChar& c : input)
            if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
                c = QChar(c.unicode() - 'a' + 'A');
        const std::string text = input.toStdString();
        return StoredName(text, Limit()) == text ? Acceptable : Invalid;
    }
    int Limit() const { return std::max(6, m_pEdit->property(kNameLimitProperty).toInt()); }

private:
    QLineEdit* m_pEdit;
};

// The frequency editors do not scroll: a character that would not fit in the
// cell's width is refused.
class CFitValidator : public QValidator {
public:
    explicit CFitValidator(QLineEdit* edit) : QValidator(edit), m_pEdit(edit) {}
    State validate(QString& input, int&) const override
    {
        const QMargins m = m_pEdit->textMargins();
        const int room = m_pEdit->contentsRect().width() - m.left() - m.right() - 4;
        return m_pEdit->fontMetrics().horizontalAdvance(input) <= room ? Acceptable : Invalid;
    }

private:
    QLineEdit* m_pEdit;
};

// Whole numbers as the form's edit boxes read them: a signed number or 0.
int DlgItemInt(const QLineEdit& edit)
{
    bool ok = false;
    const int v = edit.text().trimmed().toInt(&ok);
    return ok ? v : 0;
}

void SetDlgItemInt(QLineEdit& edit, int value) { edit.setText(QString::number(value)); }

}  // namespace

CProgramView::CProgramView(CProgramDoc* doc, QWidget* parent)
    : QWidget(parent), m_pDocument(doc), m_commands(doc, m_grid, m_grid)
{
    // Every save takes the grid's texts along (EncodeImage); undo steps take them too.
    if (doc) {
        connect(doc, &CProgramDoc::ReadOnlyChanged, this, &CProgramView::OnReadOnlyChanged);
        doc->SetWorkingCopy(this);
    }

    QFont font(QStringLiteral("Times New Roman"));
    font.setPointSize(9);
    setFont(font);

    SetControlId(&m_editVhfLow, IDC_VHF_LOW);
    SetControlId(&m_editVhfHigh, IDC_VHF_HIGH);
    SetControlId(&m_editUhfLow, IDC_UHF_LOW);
    SetControlId(&m_editUhfHigh, IDC_UHF_HIGH);
    SetControlId(&m_grid, IDC_GRID);

    auto* bands = new QHBoxLayout;
    const int boxWidth = fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12;
    // The two boxes of a band share one label: each is named on its own for a screen reader.
    auto addPair = [&](const QString& label, QLineEdit& low, QLineEdit& high, const QString& lowName,
                       const QString& highName) {
        bands->addWidget(new QLabel(label, this));
        low.setAccessibleName(lowName);
        high.setAccessibleName(highName);
        low.setAccessibleDescription(tr("Megahertz"));
        high.setAccessibleDescription(tr("Megahertz"));
        low.setParent(this);
        high.setParent(this);
        low.setFixedWidth(boxWidth);
        high.setFixedWidth(boxWidth);
        bands->addWidget(&low);
        bands->addWidget(new QLabel(QStringLiteral("-"), this));
        bands->addWidget(&high);
    };
    addPair(tr("VHF:"), m_editVhfLow, m_editVhfHigh, tr("VHF lowest frequency"), tr("VHF highest frequency"));
    bands->addSpacing(24);
    addPair(tr("UHF:"), m_editUhfLow, m_editUhfHigh, tr("UHF lowest frequency"), tr("UHF highest frequency"));
    bands->addStretch(1);

    m_grid.setParent(this);
    m_grid.setFont(font);
    m_gridPalette = m_grid.palette();
    m_pReadOnlyBanner = new QLabel(this);
    m_pReadOnlyBanner->setObjectName(QStringLiteral("ReadOnlyBanner"));
    m_pReadOnlyBanner->setTextFormat(Qt::PlainText);  // it names the port
    m_pReadOnlyBanner->setWordWrap(true);
    m_pReadOnlyBanner->setFrameShape(QFrame::StyledPanel);
    m_pReadOnlyBanner->setMargin(4);
    m_pReadOnlyBanner->setAutoFillBackground(true);
    QPalette banner = m_pReadOnlyBanner->palette();
    banner.setColor(QPalette::Window, QColor(255, 244, 200));
    banner.setColor(QPalette::WindowText, Qt::black);
    m_pReadOnlyBanner->setPalette(banner);
    m_pReadOnlyBanner->hide();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 8, 24, 8);
    layout->addLayout(bands);
    layout->addWidget(m_pReadOnlyBanner);
    layout->addWidget(&m_grid, 1);

    connect(&m_grid, &CMSFlexGrid::EnterCell, this, &CProgramView::OnEnterCellGrid);
    connect(&m_grid, &CMSFlexGrid::LeaveCell, this, &CProgramView::OnLeaveCellGrid);
    connect(&m_grid, &CMSFlexGrid::MouseDown, this, &CProgramView::OnMouseDownGrid);
    connect(&m_grid, &CMSFlexGrid::Scroll, this, &CProgramView::OnScrollGrid);
    connect(&m_grid, &CMSFlexGrid::SelectionChanged, this, &CProgramView::OnSelectionChanged);
    connect(&m_grid, &CMSFlexGrid::ContextMenuRequested, this, [this](const QPoint& at) {
        if (m_pContextMenu)
            m_pContextMenu->popup(at);
    });

    for (QWidget* w :
         {static_cast<QWidget*>(&m_editVhfLow), static_cast<QWidget*>(&m_editVhfHigh),
          static_cast<QWidget*>(&m_editUhfLow), static_cast<QWidget*>(&m_editUhfHigh), static_cast<QWidget*>(&m_grid)})
        w->installEventFilter(this);

    // Channels dragged between windows land on the grid; files dropped
    // anywhere on the window are opened or imported. The band boxes take no
    // dropped text.
    RegisterDragSource();
    connect(&m_grid, &CMSFlexGrid::RowDragRequested, this, &CProgramView::StartChannelDrag);
    setAcceptDrops(true);
    m_grid.viewport()->setAcceptDrops(true);
    m_grid.viewport()->installEventFilter(this);
    for (QLineEdit* box : {&m_editVhfLow, &m_editVhfHigh, &m_editUhfLow, &m_editUhfHigh})
        box->setAcceptDrops(false);
}

CProgramView::~CProgramView()
{
    if (m_pDocument)
        m_pDocument->SetWorkingCopy(nullptr);
    UnregisterDragSource();
    m_grid.viewport()->removeEventFilter(this);
    // The editors live in the grid's viewport; take them down before the grid
    // so no focus change reaches a half-destroyed view.
    for (QWidget* w :
         {static_cast<QWidget*>(&m_editVhfLow), static_cast<QWidget*>(&m_editVhfHigh),
          static_cast<QWidget*>(&m_editUhfLow), static_cast<QWidget*>(&m_editUhfHigh), static_cast<QWidget*>(&m_grid)})
        w->removeEventFilter(this);
    disconnect(&m_grid, nullptr, this, nullptr);
    for (QWidget* w :
         {static_cast<QWidget*>(m_editRxFreq), static_cast<QWidget*>(m_editTxFreq),
          static_cast<QWidget*>(m_comboRxTone), static_cast<QWidget*>(m_comboTxTone),
          static_cast<QWidget*>(m_comboPower), static_cast<QWidget*>(m_comboLock), static_cast<QWidget*>(m_editName),
          static_cast<QWidget*>(m_comboScanAdd), static_cast<QWidget*>(m_comboBandwidth)}) {
        if (w)
            w->removeEventFilter(this);
        delete w;
    }
}

// ---------------------------------------------------------------------------
// Set-up

QSize CProgramView::sizeHint() const
{
    // The form's template, 432 x 250 dialog units, widened where the grid's
    // columns in this font need more room than the template gives them.
    QSize size = DialogUnitRect(this, 0, 0, 432, 250).size();
    int columns = 0;
    if (m_bFirstUpdate) {
        // Before the set-up: the widths the set-up will give, from the default width of column 0.
        const long w = m_grid.GetColWidth(0);
        for (int col = 0; col < kGridCols; ++col)
            columns += col == kColLock ? 0 : m_grid.TwipsToPixelsX(static_cast<long>(w * kWidthFactor[col]));
    } else {
        columns = m_grid.verticalHeader()->width();
        for (int col = kColRxFreq; col < kGridCols; ++col)
            columns += m_grid.columnWidth(col);
    }
    const QMargins margins = layout()->contentsMargins();
    const int grid = columns + m_grid.verticalScrollBar()->sizeHint().width() + 2 * m_grid.frameWidth() + 2;
    size.setWidth(std::max(size.width(), grid + margins.left() + margins.right()));
    return size;
}

void CProgramView::FocusGrid()
{
    // The grid, or the editor open in it, takes the keys; never a band box.
    QWidget* focus = QApplication::focusWidget();
    if (!focus || (focus != &m_grid && !m_grid.isAncestorOf(focus)))
        m_grid.setFocus(Qt::OtherFocusReason);
}

CProgramView::Pane CProgramView::FocusedPane() const
{
    const QWidget* focus = QApplication::focusWidget();
    if (!focus)
        return Pane::None;
    if (focus == &m_grid || m_grid.isAncestorOf(focus))
        return Pane::Grid;
    for (const QLineEdit* box : {&m_editVhfLow, &m_editVhfHigh, &m_editUhfLow, &m_editUhfHigh})
        if (focus == box)
            return Pane::BandBoxes;
    return Pane::None;
}

void CProgramView::FocusPane(Pane pane)
{
    if (pane == Pane::BandBoxes)
        m_editVhfLow.setFocus(Qt::ShortcutFocusReason);
    else if (pane == Pane::Grid)
        (OpenEditor() ? OpenEditor() : &m_grid)->setFocus(Qt::ShortcutFocusReason);
}

void CProgramView::OnInitialUpdate()
{
    emit InitialUpdateStarting();
    if (m_bFirstUpdate) {
        const bool chinese = g_bChinese != 0;
        m_bChineseLists = chinese;
        m_toneNames.clear();
        for (const std::string& t : ::ToneNames(chinese))
            m_toneNames << Q(t);

        m_grid.SetRows(kGridRows);
        m_grid.SetCols(kGridCols);
        m_grid.SetFixedRows(1);
        m_grid.SetFixedCols(1);
        m_grid.SetHighLight(0);
        // No selection colour, but the current cell carries a heavy frame, with
        // or without its editor open.
        m_grid.SetFocusRect(2);
        m_grid.SetForeColorFixed(kFixedTextColor);

        for (int col = 0; col < kGridCols; ++col)
            m_grid.SetTextMatrix(0, col, Q(GridHeading(col, chinese)));
        for (int row = 1; row < kGridRows; ++row)
            m_grid.SetTextMatrix(row, kColLabel, Q(GridRowLabel(row)));

        for (int col = 0; col < kGridCols; ++col)
            m_grid.SetColAlignment(col, kAlignCenter);
        const long w = m_grid.GetColWidth(0);
        for (int col = 0; col < kGridCols; ++col)
            m_grid.SetColWidth(col, static_cast<long>(w * kWidthFactor[col]));
        m_grid.SetColAlignment(kColLock, kAlignLeftTop);
        m_grid.SetColWidth(kColLock, 0);

        m_bFirstUpdate = false;
    }
    ImageToGrid();
    // What the window shows now is what undo goes back to and what counts as unmodified.
    if (m_pDocument)
        m_pDocument->ResetHistory();
}

void CProgramView::EnsureEditors()
{
    if (m_editRxFreq || m_bFirstUpdate)
        return;
    CreateEditors();
    ApplyNameRules(m_editName, 6);
    connect(m_editName, &QLineEdit::inputRejected, this, &CProgramView::ShowNameRule);
    connect(m_editName, &QLineEdit::textEdited, this, &CProgramView::HideNameRule);
    for (const QString& tone : m_toneNames) {
        m_comboRxTone->addItem(tone);
        m_comboTxTone->addItem(tone);
    }
    const std::pair<QComboBox*, int> lists[] = {{m_comboPower, kColPower},
                                                {m_comboLock, kColLock},
                                                {m_comboScanAdd, kColScanAdd},
                                                {m_comboBandwidth, kColBandwidth}};
    for (const auto& [combo, col] : lists)
        for (const std::string& item : FlagListItems(col, m_bChineseLists))
            combo->addItem(Q(item));
}

void CProgramView::CreateEditors()
{
    QWidget* host = m_grid.viewport();
    auto makeEdit = [&](int id) {
        auto* e = new QLineEdit(host);
        e->setFrame(false);
        e->setAcceptDrops(false);
        SetControlId(e, id);
        e->setFont(font());
        e->hide();
        e->installEventFilter(this);
        return e;
    };
    auto makeList = [&](int id, bool tones) {
        auto* c = new QComboBox(host);
        c->setEditable(false);
        c->setInsertPolicy(QComboBox::NoInsert);
        if (tones) {
            // A list of sixteen visible items that scrolls, in every style:
            // some styles drop a combo's list down as one long menu otherwise.
            c->setMaxVisibleItems(16);
            c->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
        }
        SetControlId(c, id);
        c->setFont(font());
        c->hide();
        c->installEventFilter(this);
        c->view()->setProperty(kListOfPopupProperty, QVariant::fromValue(c));
        c->view()->installEventFilter(this);
        // The item the arrows or the pointer reach stays in sight.
        connect(c->view()->selectionModel(), &QItemSelectionModel::currentChanged, c->view(),
                [view = c->view()](const QModelIndex& current) {
                    if (current.isValid())
                        view->scrollTo(current);
                });
        return c;
    };
    m_editRxFreq = makeEdit(IDC_EDIT_RXFREQ);
    m_editTxFreq = makeEdit(IDC_EDIT_TXFREQ);
    m_comboRxTone = makeList(IDC_COMBO_RXTONE, true);
    m_comboTxTone = makeList(IDC_COMBO_TXTONE, true);
    m_comboPower = makeList(IDC_COMBO_POWER, false);
    m_comboLock = makeList(IDC_COMBO_LOCK, false);
    m_editName = makeEdit(IDC_EDIT_NAME);
    m_comboScanAdd = makeList(IDC_COMBO_SCANADD, false);
    m_comboBandwidth = makeList(IDC_COMBO_BANDWIDTH, false);

    m_editRxFreq->setValidator(new CFitValidator(m_editRxFreq));
    m_editTxFreq->setValidator(new CFitValidator(m_editTxFreq));
}

// ---------------------------------------------------------------------------
// Codec

void CProgramView::ImageToGrid()
{
    if (m_pDocument)
        m_pDocument->DecodeImage();
}

void CProgramView::DecodeImage(Image& image)
{
    // The grid is about to be replaced: an editor still open would later write
    // its stale text over the new contents.
    HideAllEditors();
    const EditRanges r = DecodeDocument(image, m_grid, g_bChinese != 0);
    SetDlgItemInt(m_editVhfLow, r.vhfLow);
    SetDlgItemInt(m_editVhfHigh, r.vhfHigh);
    SetDlgItemInt(m_editUhfLow, r.uhfLow);
    SetDlgItemInt(m_editUhfHigh, r.uhfHigh);
    const std::string caption = SyncRadioType(image, g_bNewDocument, theIniFile, AppSettings(), g_strLanguage);
    SetMainCaption(FromIni(caption));
}

void CProgramView::GridToImage()
{
    if (m_pDocument)
        m_pDocument->EncodeImage();
    else
        CommitEditor(CommitTrigger::LeaveCell);
}

void CProgramView::EncodeImage(Image& image)
{
    CommitEditor(CommitTrigger::LeaveCell);
    // Band boxes typed but not yet left are taken as they stand.
    RecordBandBoxes();
    EditRanges r;
    r.vhfLow = DlgItemInt(m_editVhfLow);
    r.vhfHigh = DlgItemInt(m_editVhfHigh);
    r.uhfLow = DlgItemInt(m_editUhfLow);
    r.uhfHigh = DlgItemInt(m_editUhfHigh);
    EncodeDocument(r, m_grid, image);
}

Image CProgramView::ShownImage() const
{
    Image image = m_pDocument ? m_pDocument->GetImage() : Image{};
    EncodeDocument(
        {DlgItemInt(m_editVhfLow), DlgItemInt(m_editVhfHigh), DlgItemInt(m_editUhfLow), DlgItemInt(m_editUhfHigh)},
        m_grid, image);
    return image;
}

BandTexts CProgramView::BandBoxTexts() const
{
    return {m_editVhfLow.text().toStdString(), m_editVhfHigh.text().toStdString(), m_editUhfLow.text().toStdString(),
            m_editUhfHigh.text().toStdString()};
}

BandTexts CProgramView::ShownBandTexts() const
{
    // What the boxes showed since the last step; before the first, nothing
    // (every leave goes through the band rules).
    const CEditSnapshot* last = m_pDocument ? m_pDocument->LastState() : nullptr;
    return last ? last->Bands() : BandTexts{};
}

CEditSnapshot CProgramView::TakeSnapshot() const
{
    static const Image noImage{};
    return CEditSnapshot(m_pDocument ? m_pDocument->GetImage() : noImage, m_grid, BandBoxTexts());
}

void CProgramView::RestoreSnapshot(const CEditSnapshot& snapshot)
{
    // An editor still open would write its stale text over what comes back.
    HideAllEditors();
    // The document has put its image back itself.
    Image image = snapshot.GetImage();
    BandTexts bands;
    snapshot.Restore(image, m_grid, bands);
    QLineEdit* boxes[] = {&m_editVhfLow, &m_editVhfHigh, &m_editUhfLow, &m_editUhfHigh};
    for (int i = 0; i < 4; ++i)
        boxes[i]->setText(QString::fromStdString(bands[static_cast<std::size_t>(i)]));
    // The band limits follow the boxes as leaving them would set them; the
    // texts themselves stay as they were.
    EditRanges r;
    r.vhfLow = DlgItemInt(m_editVhfLow);
    r.vhfHigh = DlgItemInt(m_editVhfHigh);
    r.uhfLow = DlgItemInt(m_editUhfLow);
    r.uhfHigh = DlgItemInt(m_editUhfHigh);
    ApplyVhfEditRange(r);
    ApplyUhfEditRange(r);
    m_grid.viewport()->update();
}

void CProgramView::ApplyNameRules(QLineEdit* edit, int limit)
{
    edit->setProperty(kNameLimitProperty, limit);
    if (dynamic_cast<const CNameValidator*>(edit->validator()))
        return;
    edit->setValidator(new CNameValidator(edit));
}

void CProgramView::ShowNameRule()
{
    // A tip of its own: a tool tip would close with the release of the very key it explains.
    if (!m_pNameRule) {
        m_pNameRule = new QLabel(this, Qt::ToolTip | Qt::BypassGraphicsProxyWidget);
        m_pNameRule->setObjectName(QStringLiteral("NameRule"));
        m_pNameRule->setForegroundRole(QPalette::ToolTipText);
        m_pNameRule->setBackgroundRole(QPalette::ToolTipBase);
        m_pNameRule->setAutoFillBackground(true);
        m_pNameRule->setFrameShape(QFrame::Box);
        m_pNameRule->setMargin(3);
        m_pNameRule->setWordWrap(true);
        m_pNameRule->setTextFormat(Qt::PlainText);
    }
    const auto* validator = static_cast<const CNameValidator*>(m_editName->validator());
    m_pNameRule->setText(NameRuleText(validator->Limit()));
    m_pNameRule->setFixedWidth(std::max(m_editName->width() * 3, 240));
    m_pNameRule->adjustSize();
    // Below the cell, or above it where the screen ends.
    QPoint at = m_editName->mapToGlobal(QPoint(0, m_editName->height() + 2));
    if (const QScreen* screen = m_editName->screen();
        screen && at.y() + m_pNameRule->height() > screen->availableGeometry().bottom())
        at = m_editName->mapToGlobal(QPoint(0, -m_pNameRule->height() - 2));
    m_pNameRule->move(at);
    m_pNameRule->show();
    m_pNameRule->raise();
    m_editName->setAccessibleDescription(m_pNameRule->text());
}

void CProgramView::HideNameRule()
{
    if (m_pNameRule)
        m_pNameRule->hide();
    if (m_editName)
        m_editName->setAccessibleDescription(QString());
}

// ---------------------------------------------------------------------------
// Cell editing

QWidget* CProgramView::EditorForColumn() const
{
    switch (m_grid.GetCol()) {
    case kColRxFreq: return m_editRxFreq;
    case kColTxFreq: return m_editTxFreq;
    case kColRxTone: return m_comboRxTone;
    case kColTxTone: return m_comboTxTone;
    case kColPower: return m_comboPower;
    case kColLock: return m_comboLock;
    case kColScanAdd: return m_comboScanAdd;
    case kColBandwidth: return m_comboBandwidth;
    case kColName: return m_editName;
    default: return m_editRxFreq;
    }
}

QWidget* CProgramView::OpenEditor() const
{
    // Open means shown; isHidden rather than isVisible, so an editor stays open
    // (and is committed) while the document window itself is hidden.
    QWidget* e = EditorForColumn();
    return (e && !e->isHidden()) ? e : nullptr;
}

QStringList CProgramView::ListItems(const QComboBox* combo) const
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

bool CProgramView::IsReadOnly() const { return m_pDocument && m_pDocument->IsReadOnly(); }

void CProgramView::OnReadOnlyChanged(bool readOnly)
{
    // The transfer committed the edit in progress before it began.
    if (readOnly)
        HideAllEditors();
    for (QLineEdit* box : {&m_editVhfLow, &m_editVhfHigh, &m_editUhfLow, &m_editUhfHigh})
        box->setReadOnly(readOnly);
    m_pReadOnlyBanner->setText(m_pDocument ? m_pDocument->ReadOnlyReason() : QString());
    m_pReadOnlyBanner->setVisible(readOnly);
    QPalette p = m_gridPalette;
    if (readOnly) {
        p.setColor(QPalette::Base, palette().color(QPalette::Window));
        p.setColor(QPalette::Text, palette().color(QPalette::Disabled, QPalette::Text));
    }
    m_grid.setPalette(p);
    m_grid.viewport()->update();
}

void CProgramView::OpenEditorOnCurrentCell()
{
    EnsureEditors();
    QWidget* editor = EditorForColumn();
    if (!editor || IsReadOnly())
        return;
    const QString text = m_grid.GetText();
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        std::vector<std::string> items;
        for (const QString& s : ListItems(combo))
            items.push_back(s.toStdString());
        const int sel = ListEditorSelection(items, text.toStdString());
        combo->setCurrentIndex(sel);
        // A text the list does not hold stays on show, and stays in the cell,
        // until the user picks an item.
        combo->setPlaceholderText(sel < 0 ? text : QString());
    } else if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
        edit->setProperty(kNameLimitProperty, NameEditorLimit(text.toStdString()));
        edit->setText(text);
    }
    ShowEditor();
}

void CProgramView::ShowEditor()
{
    EnsureEditors();
    QWidget* editor = EditorForColumn();
    if (!editor || IsReadOnly())
        return;
    const long px = m_grid.logicalDpiX();
    const long py = m_grid.logicalDpiY();
    // A list's drop-down part is its own popup here, so lists take the cell's
    // height like the edits.
    const int height = static_cast<int>(m_grid.GetCellHeight() * py / 1440);
    auto* edit = qobject_cast<QLineEdit*>(editor);
    if (edit) {
        edit->setProperty(kNameLimitProperty, NameEditorLimit(m_grid.GetText().toStdString()));
        edit->setText(m_grid.GetText());
    }
    const int x = static_cast<int>(m_grid.GetCellLeft() * px / 1440);
    const int y = static_cast<int>(m_grid.GetCellTop() * py / 1440);
    const int width = static_cast<int>(m_grid.GetCellWidth() * px / 1440);
    // Inside the current cell's frame, which thereby frames the editor.
    const int f = m_grid.FocusFrameWidth();
    editor->setGeometry(QRect(x, y, width, height).adjusted(f, f, -f, -f));
    editor->setAccessibleName(m_grid.CellName(int(m_grid.GetRow()), int(m_grid.GetCol()), false));
    editor->show();
    editor->raise();
    editor->setFocus(Qt::OtherFocusReason);
    // Typing replaces the cell's text; Home, End or a click edit it in place.
    if (edit)
        edit->selectAll();
    m_grid.viewport()->repaint();
}

void CProgramView::HideEditor(QWidget* editor)
{
    if (!editor)
        return;
    if (editor == m_editName)
        HideNameRule();
    // Hiding the focused editor would pass the focus on to the next control
    // (a band box, whose kill-focus rule would then run); the grid takes it.
    if (editor->hasFocus() || QApplication::focusWidget() == editor)
        m_grid.setFocus(Qt::OtherFocusReason);
    editor->hide();
}

void CProgramView::HideAllEditors()
{
    for (QWidget* w :
         {static_cast<QWidget*>(m_editRxFreq), static_cast<QWidget*>(m_editTxFreq),
          static_cast<QWidget*>(m_comboRxTone), static_cast<QWidget*>(m_comboTxTone),
          static_cast<QWidget*>(m_comboPower), static_cast<QWidget*>(m_comboLock), static_cast<QWidget*>(m_editName),
          static_cast<QWidget*>(m_comboScanAdd), static_cast<QWidget*>(m_comboBandwidth)})
        HideEditor(w);
}

bool CProgramView::CommitEditor(CommitTrigger trigger)
{
    QWidget* editor = OpenEditor();
    if (!editor)
        return true;
    const int row = static_cast<int>(m_grid.GetRow());
    const int col = static_cast<int>(m_grid.GetCol());
    const std::string text = EditorText(editor);
    CommitResult result;
    const auto commit = [&](Image&) { result = CommitCell(m_grid, row, col, text, trigger, g_bChinese != 0); };
    // One undo step per commit that changed something; a refused value that
    // emptied its row comes back whole with one undo.
    if (m_pDocument) {
        m_pDocument->Change(tr("Edit %1").arg(CellName(row, col)), commit);
    } else {
        Image scratch{};
        commit(scratch);
    }
    if (result.messageId != 0) {
        // The box takes the keys. The grid has them back when the window is
        // active again: the hidden editor would pass them to the first control
        // of the main window, the navigation tree.
        if (editor->hasFocus())
            m_grid.setFocus(Qt::OtherFocusReason);
        MessageRequest request;
        request.parent = this;
        request.text = LoadStringRes(result.messageId);
        if (result.messageId == kMsgFrequencyFormat)
            request.text = request.text.arg(QString::fromStdString(text));
        // Off the raster: the nearest values the check takes.
        if (result.messageId == kMsgStepError)
            request.text = QString::fromStdString(StepRefusalText(text, g_bChinese != 0));
        // A frequency in no band, or no frequency at all: show what is accepted.
        if (result.messageId != kMsgStepError)
            request.text += QLatin1Char('\n') + QString::fromStdString(BandRangesText(g_bChinese != 0));
        request.caption = LoadStringRes(IDS_CAUTION);
        request.buttons = QMessageBox::Ok;
        request.icon = QMessageBox::Warning;
        AppMessageBox(request);
    }
    HideEditor(editor);
    return !result.stopped;
}

std::string CProgramView::EditorText(QWidget* editor) const
{
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        std::vector<std::string> items;
        for (const QString& s : ListItems(combo))
            items.push_back(s.toStdString());
        return ListEditorText(m_grid.GetText().toStdString(), items, combo->currentIndex());
    }
    if (auto* edit = qobject_cast<QLineEdit*>(editor))
        return edit->text().toStdString();
    return std::string();
}

void CProgramView::OnEnterCellGrid()
{
    // A cell alone gets its editor; a selection of several, or a press for
    // the context menu, does not.
    if (!m_grid.HasRangeSelection() && !m_grid.IsContextPress())
        OpenEditorOnCurrentCell();
}

void CProgramView::OnMouseDownGrid(short button, short, int, int)
{
    if (button == 1 && !m_grid.HasRangeSelection())
        OpenEditorOnCurrentCell();
}

void CProgramView::OnLeaveCellGrid() { CommitEditor(CommitTrigger::LeaveCell); }

void CProgramView::OnScrollGrid()
{
    // Scrolling discards the edit in progress: the editor would no longer sit
    // over its cell.
    HideAllEditors();
    m_grid.viewport()->repaint();
}

void CProgramView::MoveToNextCell(int step)
{
    if (!CommitEditor(CommitTrigger::Enter))
        return;
    const long row = m_grid.GetRow();
    const int lastRow = static_cast<int>(m_grid.GetRows()) - 1;
    // Where a row is entered going this way: its first shown column forwards, its last backwards.
    const int rowStart = step > 0 ? m_grid.NextShownCol(0, +1) : m_grid.NextShownCol(kGridCols, -1);
    // Every step moves the current cell, so each raises LeaveCell and
    // EnterCell; the last EnterCell opens the editor of the target cell.
    // Columns without width (the lock column) are passed over.
    if (const int next = m_grid.NextShownCol(static_cast<int>(m_grid.GetCol()), step); next > 0) {
        m_grid.SetCol(next);
    } else if (step > 0 ? row < lastRow : row > 1) {
        m_grid.SetCol(rowStart);
        m_grid.SetRow(row + step);
    } else {
        m_grid.SetRow(step > 0 ? 1 : lastRow);
        m_grid.SetCol(rowStart);
    }
}

void CProgramView::MoveRows(int delta)
{
    const long row = m_grid.GetRow();
    const long target = std::clamp<long>(row + delta, 1, m_grid.GetRows() - 1);
    if (target == row || !CommitEditor(CommitTrigger::Enter))
        return;
    m_grid.SetRow(target);
}

void CProgramView::CancelEditor()
{
    // The cell keeps its text; it stays current, ready for typing or moving on.
    HideEditor(OpenEditor());
    m_grid.viewport()->update();
}

bool CProgramView::OnGridKey(QWidget* widget, QKeyEvent* key)
{
    // Only the grid and its editors: the band boxes keep their own Tab and arrows.
    if (widget != &m_grid && widget->parentWidget() != m_grid.viewport())
        return false;
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    const bool plain = (mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == 0;
    QWidget* editor = OpenEditor();
    if (plain && (key->key() == Qt::Key_Backtab || (key->key() == Qt::Key_Tab && (mods & Qt::ShiftModifier)))) {
        MoveToNextCell(-1);
        return true;
    }
    if (plain && key->key() == Qt::Key_Tab) {
        MoveToNextCell(+1);
        return true;
    }
    if (widget == &m_grid) {
        // The current cell without an open editor: the grid moves it itself.
        if (editor)
            return false;
        if (plain && (key->key() == Qt::Key_Delete)) {
            OnEditClear();
            return true;
        }
        if (key->key() == Qt::Key_Escape && m_grid.HasRangeSelection()) {
            m_grid.SelectCurrentCell();
            return true;
        }
        const bool listKey = key->key() == Qt::Key_F4 || (key->key() == Qt::Key_Down && (mods & Qt::AltModifier));
        // Editing starts in the current cell; a selection stays for Ctrl+Enter
        // to set every selected cell, and Enter (or any move) leaves it.
        if (key->key() == Qt::Key_F2 || listKey) {
            OpenEditorOnCurrentCell();
            if (listKey)
                if (auto* opened = qobject_cast<QComboBox*>(OpenEditor()))
                    opened->showPopup();
            return true;
        }
        if (plain && !key->text().isEmpty() && key->text().at(0).isPrint()) {
            // Typing into the cell: its editor opens and takes the key (none
            // while the document is read-only; the key is dropped).
            OpenEditorOnCurrentCell();
            if (QWidget* opened = OpenEditor())
                QApplication::sendEvent(opened, key);
            return true;
        }
        return false;
    }
    if (widget != editor)
        return false;
    switch (key->key()) {
    case Qt::Key_Escape: CancelEditor(); return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
        // Alt+Down opens a list; plain Up and Down go to the row above or below;
        // with Shift the selection grows from this cell.
        if (mods & Qt::AltModifier)
            return false;
        if (mods & Qt::ShiftModifier) {
            if (CommitEditor(CommitTrigger::Enter))
                m_grid.ExtendSelection(static_cast<int>(m_grid.GetRow()) + (key->key() == Qt::Key_Up ? -1 : 1),
                                       static_cast<int>(m_grid.GetCol()));
            return true;
        }
        MoveRows(key->key() == Qt::Key_Up ? -1 : 1);
        return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: MoveRows(key->key() == Qt::Key_PageUp ? -m_grid.PageRows() : m_grid.PageRows()); return true;
    default: break;
    }
    auto* list = qobject_cast<QComboBox*>(editor);
    if (list && plain && !key->text().isEmpty() && key->text().at(0).isPrint()) {
        // Typing opens the list at the first item that begins with the text.
        list->showPopup();
        SearchList(list, key->text(), true);
        return true;
    }
    return false;
}

void CProgramView::SearchList(QComboBox* list, const QString& text, bool fresh)
{
    // Keys typed in quick succession extend the text searched for.
    if (fresh || !m_listSearchTime.isValid() || m_listSearchTime.elapsed() > QApplication::keyboardInputInterval())
        m_strListSearch.clear();
    m_listSearchTime.start();
    m_strListSearch += text;
    int found = list->findText(m_strListSearch, Qt::MatchStartsWith);
    // A tone list also finds DCS codes by their digits: 0, 3, 4, 5 and 6 begin no CTCSS tone.
    if (found < 0 && (list == m_comboRxTone || list == m_comboTxTone) && m_strListSearch.at(0).isDigit())
        found = list->findText(QLatin1Char('D') + m_strListSearch, Qt::MatchStartsWith);
    if (found < 0)
        return;
    // The tone found is the list's choice, shown in the box and in the middle of the open list.
    list->setCurrentIndex(found);
    const QModelIndex item = list->model()->index(found, list->modelColumn());
    list->view()->setCurrentIndex(item);
    list->view()->scrollTo(item, QAbstractItemView::PositionAtCenter);
}

bool CProgramView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_grid.viewport() && OnDragEvent(event, true))
        return true;
    auto* widget = qobject_cast<QWidget*>(watched);
    // The menu key in a cell's editor offers the grid's commands, as on the
    // grid itself; the pointer keeps the editor's own text menu.
    if (event->type() == QEvent::ContextMenu && widget && widget == OpenEditor() &&
        static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard && m_pContextMenu) {
        m_pContextMenu->popup(m_grid.CurrentCellMenuPos());
        return true;
    }
    if (event->type() == QEvent::ShortcutOverride && widget && OpenEditor() &&
        (widget == OpenEditor() || widget->property(kListOfPopupProperty).value<QComboBox*>() == OpenEditor()) &&
        (static_cast<QKeyEvent*>(event)->modifiers() & Qt::ControlModifier) &&
        (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Return ||
         static_cast<QKeyEvent*>(event)->key() == Qt::Key_Enter)) {
        // Ctrl+Enter in a cell sets the selected cells to what was typed; on
        // the grid it is Set Selected Cells, which asks for the value.
        event->accept();
        return true;
    }
    if (event->type() == QEvent::ShortcutOverride && widget &&
        (widget == OpenEditor() || widget == BandEdit(ControlId(widget))) &&
        !EditorTakesShortcut(widget, static_cast<QKeyEvent*>(event)))
        return true;  // not accepted: the program's command runs
    if (event->type() == QEvent::KeyPress && widget && widget->property(kListOfPopupProperty).isValid()) {
        // A key typed into an open list searches it from the top.
        auto* key = static_cast<QKeyEvent*>(event);
        auto* list = widget->property(kListOfPopupProperty).value<QComboBox*>();
        const bool plain = (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == 0;
        if (list && plain && !key->text().isEmpty() && key->text().at(0).isPrint()) {
            SearchList(list, key->text(), false);
            return true;
        }
        if (list && list == OpenEditor() && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & Qt::ControlModifier)) {
            // The item the list shows is the value for every selected cell.
            if (const QModelIndex item = list->view()->currentIndex(); item.isValid())
                list->setCurrentIndex(item.row());
            list->hidePopup();
            SetSelectionFromEditor();
            return true;
        }
        return QWidget::eventFilter(watched, event);
    }
    if (event->type() == QEvent::KeyPress && widget) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Both keys are handled for the whole form and not passed on, so the
        // parents the event would propagate to do not see it a second time.
        if (key->key() == Qt::Key_F1) {
            OnHelp(ControlId(widget));
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if ((key->modifiers() & Qt::ControlModifier) && widget == OpenEditor())
                SetSelectionFromEditor();
            else
                MoveToNextCell(+1);
            return true;
        }
        if (OnGridKey(widget, key))
            return true;
    } else if (event->type() == QEvent::FocusOut) {
        if (watched == &m_editVhfLow || watched == &m_editVhfHigh)
            OnKillFocusVhf();
        else if (watched == &m_editUhfLow || watched == &m_editUhfHigh)
            OnKillFocusUhf();
    }
    return QWidget::eventFilter(watched, event);
}

bool CProgramView::EditorTakesShortcut(QWidget* editor, const QKeyEvent* key) const
{
    // A cell editor or band box keeps its own undo, redo and paste while they
    // mean something inside it; otherwise the keys go to the document's commands.
    const auto* edit = qobject_cast<const QLineEdit*>(editor);
    if (key->matches(QKeySequence::Undo))
        return edit && edit->isUndoAvailable();
    if (key->matches(QKeySequence::Redo) || key->keyCombination() == QKeyCombination(Qt::CTRL | Qt::Key_Y))
        return edit && edit->isRedoAvailable();
    if (key->matches(QKeySequence::Paste)) {
        // Several cells (a spreadsheet's block, a copied row) are the grid's to paste.
        const QString text = QApplication::clipboard()->text();
        if (editor != OpenEditor())
            return true;
        return edit && !text.contains(QLatin1Char('\t')) && !text.trimmed().contains(QLatin1Char('\n'));
    }
    return true;
}

void CProgramView::OnHelp(int context) { HtmlHelp(context); }

// ---------------------------------------------------------------------------
// Band edit boxes

void CProgramView::OnKillFocusVhf()
{
    EditRanges r;
    r.vhfLow = DlgItemInt(m_editVhfLow);
    r.vhfHigh = DlgItemInt(m_editVhfHigh);
    const EditRanges typed = r;
    if (!CommitBandBoxes(BandPair::Vhf, ShownBandTexts(), BandBoxTexts(), r))
        return;
    if (r.vhfLow != typed.vhfLow || r.vhfHigh != typed.vhfHigh) {
        SetDlgItemInt(m_editVhfLow, r.vhfLow);
        SetDlgItemInt(m_editVhfHigh, r.vhfHigh);
    }
    RecordBandBoxes();
}

void CProgramView::OnKillFocusUhf()
{
    EditRanges r;
    r.uhfLow = DlgItemInt(m_editUhfLow);
    r.uhfHigh = DlgItemInt(m_editUhfHigh);
    const EditRanges typed = r;
    if (!CommitBandBoxes(BandPair::Uhf, ShownBandTexts(), BandBoxTexts(), r))
        return;
    if (r.uhfLow != typed.uhfLow || r.uhfHigh != typed.uhfHigh) {
        SetDlgItemInt(m_editUhfLow, r.uhfLow);
        SetDlgItemInt(m_editUhfHigh, r.uhfHigh);
    }
    RecordBandBoxes();
}

QLineEdit* CProgramView::BandEdit(int id)
{
    switch (id) {
    case IDC_VHF_LOW: return &m_editVhfLow;
    case IDC_VHF_HIGH: return &m_editVhfHigh;
    case IDC_UHF_LOW: return &m_editUhfLow;
    case IDC_UHF_HIGH: return &m_editUhfHigh;
    default: return nullptr;
    }
}

QWidget* CProgramView::Control(int id) const
{
    const_cast<CProgramView*>(this)->EnsureEditors();
    for (QWidget* w : {static_cast<QWidget*>(const_cast<QLineEdit*>(&m_editVhfLow)),
                       static_cast<QWidget*>(const_cast<QLineEdit*>(&m_editVhfHigh)),
                       static_cast<QWidget*>(const_cast<QLineEdit*>(&m_editUhfLow)),
                       static_cast<QWidget*>(const_cast<QLineEdit*>(&m_editUhfHigh)),
                       static_cast<QWidget*>(const_cast<CMSFlexGrid*>(&m_grid)), static_cast<QWidget*>(m_editRxFreq),
                       static_cast<QWidget*>(m_editTxFreq), static_cast<QWidget*>(m_comboRxTone),
                       static_cast<QWidget*>(m_comboTxTone), static_cast<QWidget*>(m_comboPower),
                       static_cast<QWidget*>(m_comboLock), static_cast<QWidget*>(m_editName),
                       static_cast<QWidget*>(m_comboScanAdd), static_cast<QWidget*>(m_comboBandwidth)})
        if (w && ControlId(w) == id)
            return w;
    return nullptr;
}
