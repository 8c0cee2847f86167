#pragma once
// The stock channel lists shipped with the program: channel-list CSV files in
// a folder "stock", each beginning with comment lines that give its title, its
// source (band plan or regulation) and the licence rules for transmitting.
#include <string>
#include <vector>

class CRadioCatalogue;

struct StockList {
    std::string name;  // the file's name without ".csv": what progtool import --stock takes
    std::string path;
    std::string title;                  // the first comment line
    std::string titleZh;                // the comment line "zh: ...", else the title
    std::vector<std::string> comments;  // every leading comment line, without its '#'
};

// Where the stock lists of a program in programDir are: "stock" beside it (a
// build tree, the window's installed folder, the Windows package), else
// <programDir>/../lib/<package>/stock (progtool installed in <prefix>/bin).
std::string StockFolder(const std::string& programDir);

// The lists present in StockFolder(programDir), by name: every regular *.csv
// file that can be read (at most kTextFileLimit bytes).
std::vector<StockList> ListStockLists(const std::string& programDir);

// The comment lines that say what a user must hold before transmitting: the
// one beginning "Licence:" and the indented lines that go on from it.
std::vector<std::string> StockLicenceLines(const StockList& list);

// What a list's leading comments say, as paragraphs (an indented line goes on
// from the one before it): the title in the language `chinese` picks first,
// the "zh:" line left out. A text without comments has none.
std::vector<std::string> CsvListNotes(const std::string& text, bool chinese);

// The list of that name among `lists`, nullptr when there is none.
const StockList* FindStockList(const std::vector<StockList>& lists, const std::string& name);
// The names of `lists` joined by ", " ("none" for no list), for a message.
std::string StockListNames(const std::vector<StockList>& lists);

// What a list holds as this radio's channels: read as the import reads it,
// with the band limits in force.
struct StockSummary {
    bool ok = false;
    std::string error;    // why the text cannot be imported at all
    int channels = 0;     // rows imported
    int refused = 0;      // rows the import refuses
    int receiveOnly = 0;  // channels without a Tx frequency
    struct Fit {
        std::string type;  // the radio type's name (Program.ini TypeN)
        int channels = 0;  // channels whose Rx and Tx lie in one of the type's bands
    };
    std::vector<Fit> types;  // every type of the catalogue, in order
    // The types whose bands hold every channel.
    std::vector<std::string> FittingTypes() const;
};
StockSummary SummarizeStockList(const std::string& text, const CRadioCatalogue& catalogue);

// Why the list does not suit radio type `type` of the catalogue: "its 22
// channels lie outside the TR-5V's bands (136-174MHz, ...); it suits the
// TR-5U". "" when every channel lies in one of the type's bands, and when the
// catalogue has no such type or the list no channel.
std::string StockTypeMismatch(const StockSummary& summary, int type, const CRadioCatalogue& catalogue, bool chinese);
