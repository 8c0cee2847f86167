#include "gui/editor/ChannelCommands.h"

#include <QCoreApplication>
#include <QStringList>
#include <algorithm>

#include "core/app/Globals.h"
#include "core/app/StringIds.h"
#include "core/exchange/ImportPreview.h"
#include "core/radio/ChannelCodec.h"
#include "gui/radio/ProgramDoc.h"

namespace {

// The view's texts, in its translation context: the translations stay where they are.
struct ViewText {
    Q_DECLARE_TR_FUNCTIONS(CProgramView)
};

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

std::vector<int> Sorted(const std::set<int>& s) { return {s.begin(), s.end()}; }

bool Chinese() { return g_bChinese != 0; }

}  // namespace

CChannelCommands::CChannelCommands(CProgramDoc* doc, ITextGrid& grid, IGridSelection& selection)
    : m_pDocument(doc), m_grid(grid), m_selection(selection)
{
}

QString CChannelCommands::CellName(int row, int col)
{
    const QString column = Q(GridHeading(col, Chinese()));
    return row == 1 ? ViewText::tr("Pr, %1").arg(column) : ViewText::tr("Channel %1, %2").arg(row - 1).arg(column);
}

QString CChannelCommands::NameRuleText(int limit)
{
    return ViewText::tr(
        "A channel name holds up to %n character(s), each A-Z, 0-9, - or _; letters are stored in upper case.", nullptr,
        limit);
}

void CChannelCommands::Record(const QString& action, const std::function<void(Image&)>& change)
{
    if (m_pDocument) {
        m_pDocument->Change(action, change);
        return;
    }
    Image scratch{};
    change(scratch);
}

std::set<int> CChannelCommands::SelectedChannelRows() const
{
    std::set<int> rows = m_selection.SelectedRows();
    rows.erase(1);
    return rows;
}

std::vector<int> CChannelCommands::SelectedShownCols() const
{
    std::vector<int> cols;
    for (int col : m_selection.SelectedCols())
        if (m_selection.IsColumnShown(col))
            cols.push_back(col);
    return cols;
}

// ---------------------------------------------------------------------------
// Cells through the commit rules

EditNotice CChannelCommands::EnterCells(const std::vector<CellText>& cells, int beyond, const QString& refusedHeading,
                                        const QString& action, const QString& note, EntryReport* entered)
{
    EntryReport report;
    Record(action, [&](Image&) { report = ::EnterCells(m_grid, cells, Chinese()); });
    if (entered)
        *entered = report;
    return EntryNotice(report, beyond, refusedHeading, note);
}

EditNotice CChannelCommands::EntryNotice(const EntryReport& report, int beyond, const QString& refusedHeading,
                                         const QString& note)
{
    const bool chinese = Chinese();
    if (report.refused.empty() && report.renamed.empty() && beyond == 0)
        return {};
    QStringList lines;
    for (const RefusedCell& r : report.refused) {
        const QString value = Q(r.text);
        QString why;
        switch (r.why) {
        case CellRefusal::NotAFrequency:
            why = ViewText::tr(
                      "\"%1\" is not a frequency (megahertz with up to five decimals, e.g. 145.125; \"MHz\" or \"M\" "
                      "may follow)")
                      .arg(value);
            break;
        case CellRefusal::OutOfRange:
            why = ViewText::tr("\"%1\" is out of range: %2").arg(value, Q(BandRangesText(chinese)));
            break;
        case CellRefusal::OffStep:
            why = ViewText::tr("\"%1\": %2").arg(value, Q(StepRefusalText(r.text, chinese)));
            break;
        case CellRefusal::NotInList: why = ViewText::tr("\"%1\" is not one of this column's items").arg(value); break;
        case CellRefusal::EmptyChannel:
            why = ViewText::tr("\"%1\" needs a channel with an Rx Frequency").arg(value);
            break;
        case CellRefusal::BeyondLastChannel:
        case CellRefusal::None: why = ViewText::tr("\"%1\" lies outside the grid").arg(value); break;
        }
        if (r.withheld > 0) {
            // The step refusal ends its sentence; the clause about the rest follows it.
            if (why.endsWith(QLatin1Char('.')) || why.endsWith(QChar(0x3002)))
                why.chop(1);
            why += ViewText::tr("; the channel's %n other cell(s) were not entered either", nullptr, r.withheld);
        }
        lines << CellName(r.row, r.col) + QStringLiteral(": ") + why;
    }
    if (beyond > 0)
        lines << ViewText::tr("%n cell(s) beyond the last channel or column were left out.", nullptr, beyond);
    for (const StoredNameCell& n : report.renamed)
        lines << CellName(n.row, kColName) + QStringLiteral(": ") +
                     ViewText::tr("\"%1\" is stored as \"%2\". %3")
                         .arg(Q(n.text), Q(n.stored), NameRuleText(kNameRecordChars));
    // Every refusal is listed, however many: the box shows the list in an area
    // that scrolls and can be copied.
    EditNotice notice;
    notice.caution = true;
    int cellsLeft = beyond;
    for (const RefusedCell& r : report.refused)
        cellsLeft += 1 + r.withheld;
    QStringList heading;
    if (cellsLeft > 0)
        heading << ViewText::tr("%1 %n cell(s)", nullptr, cellsLeft)
                       .arg(refusedHeading.isEmpty() ? ViewText::tr("Not changed:") : refusedHeading);
    if (!report.renamed.empty())
        heading << ViewText::tr("Stored otherwise than given: %n name(s)", nullptr,
                                static_cast<int>(report.renamed.size()));
    notice.text = heading.join(QLatin1Char('\n'));
    if (!note.isEmpty() && cellsLeft > 0)
        notice.text += QLatin1Char('\n') + note;
    notice.detail = lines.join(QLatin1Char('\n'));
    notice.icon = cellsLeft > 0 ? EditNotice::Icon::Warning : EditNotice::Icon::Information;
    return notice;
}

EditNotice CChannelCommands::ClearCells(const QString& action)
{
    // What typing can empty: the frequencies and the name. A list always shows
    // an item, and an empty Rx Frequency empties the whole channel anyway.
    std::vector<CellText> cells;
    for (int row : m_selection.SelectedRows())
        for (int col : m_selection.SelectedCols())
            if (m_selection.IsSelected(row, col) && (col == kColRxFreq || col == kColTxFreq || col == kColName))
                cells.push_back({row, col, std::string()});
    return EnterCells(cells, 0, QString(), action);
}

EditNotice CChannelCommands::Paste(const std::string& text, bool csv, const std::string& channelBytes)
{
    const PastedBlock block = ParsePastedText(text, csv);
    if (block.rows.empty())
        return {};
    const std::set<int> rows = m_selection.SelectedRows();
    const std::set<int> cols = m_selection.SelectedCols();
    const int top = *rows.begin();
    const int left = m_selection.AreWholeRowsSelected() ? kColRxFreq : *cols.begin();
    int beyond = 0;
    const std::vector<ChannelBytes> channels = ParseChannelBytesText(channelBytes);
    if (!channels.empty() && channels.size() == block.rows.size() && left == kColRxFreq && m_pDocument) {
        // Whole channels copied in this program: their bytes, all of them.
        EntryReport report;
        const int count = static_cast<int>(channels.size());
        m_pDocument->Change(ViewText::tr("Paste %n channel(s)", nullptr, count), [&](Image& image) {
            report = EnterChannels(image, m_grid, top, channels, Chinese(), beyond);
        });
        m_selection.SelectRange(top, kColRxFreq, std::min(top + count, kGridRows) - 1, kColName);
        return EntryNotice(report, beyond, ViewText::tr("Not pasted:"), QString());
    }
    std::vector<CellText> cells;
    if (block.rows.size() == 1 && block.rows.front().size() == 1 && block.columns.empty() &&
        m_selection.HasRangeSelection()) {
        // One value fills every selected cell the user can see.
        for (int row : rows)
            for (int col : cols)
                if (m_selection.IsSelected(row, col) && m_selection.IsColumnShown(col))
                    cells.push_back({row, col, block.rows.front().front()});
    } else {
        cells = PlaceBlock(block, top, left, beyond);
    }
    std::set<int> touched;
    for (const CellText& c : cells)
        touched.insert(c.row);
    EditNotice notice = EnterCells(cells, beyond, ViewText::tr("Not pasted:"),
                                   ViewText::tr("Paste %n channel(s)", nullptr, static_cast<int>(touched.size())));
    // The pasted rows stay selected.
    if (cells.size() > 1) {
        std::set<int> pastedCols;
        for (const CellText& c : cells)
            pastedCols.insert(c.col);
        m_selection.SelectRange(top, *pastedCols.begin(), *touched.rbegin(), *pastedCols.rbegin());
    }
    return notice;
}

// ---------------------------------------------------------------------------
// Whole channels

void CChannelCommands::ApplyOrder(const ChannelOrder& order, const QString& action, const std::set<int>& selectAfter)
{
    if (order.empty() || IsIdentity(order))
        return;
    Record(action, [&](Image& image) { ApplyChannelOrder(order, image, m_grid); });
    if (!selectAfter.empty())
        m_selection.SelectRows(selectAfter);
}

EditNotice CChannelCommands::InsertChannels()
{
    const std::set<int> rows = SelectedChannelRows();
    if (rows.empty())
        return {};
    const int first = *rows.begin();
    const int count = static_cast<int>(rows.size());
    int blocking = 0;
    const ChannelOrder order = InsertEmptyOrder(m_grid, first, count, blocking);
    if (order.empty()) {
        EditNotice notice;
        if (blocking > 0) {
            notice.text = ViewText::tr(
                              "Channel %1 is in use: inserting %n empty channel(s) would push it off the end. "
                              "Delete or move the last channels first.",
                              nullptr, count)
                              .arg(blocking - 1);
            notice.caution = true;
        }
        return notice;
    }
    std::set<int> inserted;
    for (int r = first; r < first + count; ++r)
        inserted.insert(r);
    ApplyOrder(order, ViewText::tr("Insert %n Empty Channel(s)", nullptr, count), inserted);
    return {};
}

void CChannelCommands::DeleteChannels()
{
    const std::set<int> rows = SelectedChannelRows();
    if (rows.empty())
        return;
    ApplyOrder(DeleteOrder(rows), ViewText::tr("Delete %n Channel(s)", nullptr, static_cast<int>(rows.size())),
               {*rows.begin()});
}

void CChannelCommands::MoveChannels(int delta)
{
    const std::set<int> rows = SelectedChannelRows();
    const ChannelOrder order = MoveOrder(rows, delta);
    ApplyOrder(order, delta < 0 ? ViewText::tr("Move Up") : ViewText::tr("Move Down"), RowsAfter(order, rows));
}

EditNotice CChannelCommands::ClearChannels()
{
    std::vector<CellText> cells;
    for (int row : m_selection.SelectedRows())
        cells.push_back({row, kColRxFreq, std::string()});
    return EnterCells(cells, 0, QString(),
                      ViewText::tr("Clear %n channel(s)", nullptr, static_cast<int>(cells.size())));
}

void CChannelCommands::SortChannels(SortKey key)
{
    const std::set<int> rows = SelectedChannelRows();
    const bool range = rows.size() >= 2;
    const int first = range ? *rows.begin() : kFirstChannelRow;
    const int last = range ? *rows.rbegin() : kGridRows - 1;
    std::set<int> sorted;
    if (range)
        for (int r = first; r <= last; ++r)
            sorted.insert(r);
    const QString action = key == SortKey::RxFrequency ? ViewText::tr("Sort by Rx Frequency")
                           : key == SortKey::Name      ? ViewText::tr("Sort by Name")
                                                       : ViewText::tr("Sort by Tone");
    ApplyOrder(SortOrder(m_grid, first, last, key), action, sorted);
}

// ---------------------------------------------------------------------------
// Fill, one value for many cells, find

EditNotice CChannelCommands::FillDown()
{
    std::vector<int> cols;
    for (int col : m_selection.SelectedCols())
        if (col >= kColRxFreq && (m_selection.AreWholeRowsSelected() || m_selection.IsColumnShown(col)))
            cols.push_back(col);
    return EnterCells(FillDownCells(m_grid, Sorted(m_selection.SelectedRows()), cols), 0, ViewText::tr("Not filled:"),
                      ViewText::tr("Fill Down"));
}

EditNotice CChannelCommands::FillSeries(long stepUnits)
{
    return EnterCells(FillSeriesCells(m_grid, Sorted(m_selection.SelectedRows()), stepUnits), 0,
                      ViewText::tr("Not filled:"), ViewText::tr("Fill Series"));
}

EditNotice CChannelCommands::RefuseSeveralColumns(const std::vector<int>& cols) const
{
    if (cols.size() == 1)
        return {};
    QStringList names;
    for (int col : cols)
        names << Q(GridHeading(col, Chinese()));
    EditNotice notice;
    notice.text = ViewText::tr(
                      "A value is set in the cells of one column at a time, and the selection spans %n column(s) "
                      "(%1). Nothing was changed: select cells of one column.",
                      nullptr, static_cast<int>(cols.size()))
                      .arg(names.join(QStringLiteral(", ")));
    notice.caution = true;
    return notice;
}

EditNotice CChannelCommands::SetSelectedCells(int col, const std::string& text)
{
    std::vector<CellText> cells;
    for (int row : m_selection.SelectedRows())
        if (m_selection.IsSelected(row, col))
            cells.push_back({row, col, text});
    return EnterCells(cells, 0, ViewText::tr("Not set:"),
                      ViewText::tr("Set %n cell(s)", nullptr, static_cast<int>(cells.size())));
}

EditNotice CChannelCommands::Find(const QString& query)
{
    int col = 0;
    const int found = FindChannel(m_grid, query.toStdString(), m_selection.CurrentRow(), col);
    if (!found) {
        EditNotice notice;
        notice.text = ViewText::tr("No channel matches \"%1\".").arg(query);
        notice.icon = EditNotice::Icon::Information;
        return notice;
    }
    m_selection.SelectRange(found, col, found, col);
    return {};
}

// ---------------------------------------------------------------------------
// Channels from elsewhere

void CChannelCommands::ApplyImport(const ImportPreview& preview)
{
    Record(ViewText::tr("Import Channels"), [&](Image&) {
        for (const std::vector<int>* rows : {&preview.added, &preview.changed, &preview.removed})
            for (int row : *rows)
                for (int col = kColRxFreq; col <= kColName; ++col)
                    m_grid.SetTextMatrix(row, col, preview.result.TextMatrix(row, col));
    });
}

EditNotice CChannelCommands::DropChannels(const std::string& csv, const std::string& bytes, int row,
                                          const QString& action, const QString& kept, bool& whole)
{
    whole = false;
    const PastedBlock block = ParsePastedText(csv, true);
    const std::vector<ChannelBytes> channels = ParseChannelBytesText(bytes);
    if (block.rows.empty() && channels.empty())
        return {};
    const int count = static_cast<int>(channels.empty() ? block.rows.size() : channels.size());
    int beyond = 0;
    EntryReport report;
    std::set<int> landed;
    EditNotice notice;
    if (!channels.empty() && m_pDocument) {
        // Channels of this program land with every byte they hold.
        m_pDocument->Change(
            action, [&](Image& image) { report = EnterChannels(image, m_grid, row, channels, Chinese(), beyond); });
        notice = EntryNotice(report, beyond, ViewText::tr("Not dropped:"), kept);
        for (int r = row; r < std::min(row + count, int(kGridRows)); ++r)
            landed.insert(r);
    } else {
        const std::vector<CellText> cells = PlaceBlock(block, row, kColRxFreq, beyond);
        notice = EnterCells(cells, beyond, ViewText::tr("Not dropped:"), action, kept, &report);
        for (const CellText& c : cells)
            landed.insert(c.row);
    }
    m_selection.SelectRows(landed);
    whole = report.refused.empty() && report.renamed.empty() && beyond == 0;
    return notice;
}
