#pragma once
// The channel window's editing commands on the document, its grid texts and
// the selection, without a widget: rows, the clipboard's texts, fill, sort,
// one value for many cells, find, an import's rows and dropped channels. Each
// change goes through the document's one door (CProgramDoc::Change) as one
// undo step; what the user must be told comes back as a notice for the view
// to show.
#include <QString>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "core/editor/CellCommit.h"
#include "core/editor/CellEntry.h"
#include "core/editor/ChannelRows.h"
#include "core/editor/GridSelection.h"
#include "core/radio/Image.h"

class CProgramDoc;
struct ImportPreview;

// What a command tells the user; nothing when `text` is empty.
struct EditNotice {
    enum class Icon { Information, Warning };
    QString text;
    QString detail;  // every line, in an area that scrolls
    Icon icon = Icon::Warning;
    bool caution = false;  // the "Caution" caption of the radio's own messages
    bool Empty() const { return text.isEmpty(); }
};

class CChannelCommands {
public:
    // `doc` may be null: the commands then change the grid texts only.
    CChannelCommands(CProgramDoc* doc, ITextGrid& grid, IGridSelection& selection);

    // "Channel 12, Rx Frequency" ("Pr, ..." for row 1): how notices and undo steps name a cell.
    static QString CellName(int row, int col);
    // What a channel name holds: up to `limit` characters of A-Z, 0-9, - and _.
    static QString NameRuleText(int limit);

    // Rows of the selection that hold channels 1..199 ("Pr" never moves).
    std::set<int> SelectedChannelRows() const;
    // The shown columns of the selection.
    std::vector<int> SelectedShownCols() const;

    // Cut and Delete: the selected frequencies and names emptied.
    EditNotice ClearCells(const QString& action);
    // Clipboard text (CSV when `csv`) at the selection; `channelBytes` are the
    // bytes whole channels copied in this program carry.
    EditNotice Paste(const std::string& text, bool csv, const std::string& channelBytes);
    EditNotice InsertChannels();
    void DeleteChannels();
    // delta -1: up, +1: down.
    void MoveChannels(int delta);
    EditNotice ClearChannels();
    // A range of channels sorts in itself; otherwise all of them.
    void SortChannels(SortKey key);
    EditNotice FillDown();
    // The first row's frequencies stepped by `stepUnits` (10 Hz) down the selection.
    EditNotice FillSeries(long stepUnits);
    // A selection over several columns takes no single value: the refusal, else nothing.
    EditNotice RefuseSeveralColumns(const std::vector<int>& cols) const;
    // `text` into every selected cell of `col`, through the cell rules.
    EditNotice SetSelectedCells(int col, const std::string& text);
    // The next channel matching `query` after the current row, selected; a notice when none.
    EditNotice Find(const QString& query);
    // The rows an import's preview adds, changes and empties, as one step.
    void ApplyImport(const ImportPreview& preview);
    // Channels dropped on `row` from text (CSV) or, from this program, with
    // their bytes. `action` names the step, `kept` follows a refusal's
    // heading. `whole` tells whether every one of them landed as it came.
    EditNotice DropChannels(const std::string& csv, const std::string& bytes, int row, const QString& action,
                            const QString& kept, bool& whole);
    // Channels reordered as one step named `action`, then `selectAfter` selected.
    void ApplyOrder(const ChannelOrder& order, const QString& action, const std::set<int>& selectAfter);

    // Cells entered through the commit rules as one step named `action`; the
    // notice lists every refused cell and name stored otherwise than given
    // (`beyond`: cells past the grid's end), under `refusedHeading`, `note` after it.
    EditNotice EnterCells(const std::vector<CellText>& cells, int beyond, const QString& refusedHeading,
                          const QString& action, const QString& note = QString(), EntryReport* entered = nullptr);

private:
    // The notice for what an entry refused or stored otherwise.
    static EditNotice EntryNotice(const EntryReport& report, int beyond, const QString& refusedHeading,
                                  const QString& note);
    void Record(const QString& action, const std::function<void(Image&)>& change);

    CProgramDoc* m_pDocument;
    ITextGrid& m_grid;
    IGridSelection& m_selection;
};
